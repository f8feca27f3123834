#pragma once

#include "Platform/UI/ViewController.h"

class MoreViewController : public ViewController
{
    Q_OBJECT

public:
    explicit MoreViewController(QWidget *parent = nullptr);
};
