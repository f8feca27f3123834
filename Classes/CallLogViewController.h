#pragma once

#include "Platform/UI/ViewController.h"

class CallLogViewController : public ViewController
{
    Q_OBJECT

public:
    explicit CallLogViewController(QWidget *parent = nullptr);
};
