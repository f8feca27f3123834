#include "SettingViewController.h"

SettingViewController::SettingViewController(QWidget *parent) : ViewController(parent) {}
