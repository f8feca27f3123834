#pragma once

#include "Platform/UI/ViewController.h"

class SettingViewController : public ViewController
{
    Q_OBJECT

public:
    explicit SettingViewController(QWidget *parent = nullptr);
};
