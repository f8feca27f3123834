#pragma once

#include "Platform/UI/ViewController.h"

class DialerPadViewController : public ViewController
{
    Q_OBJECT

public:
    explicit DialerPadViewController(QWidget *parent = nullptr);
};
