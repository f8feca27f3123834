#include "DialerPadViewController.h"

DialerPadViewController::DialerPadViewController(QWidget *parent) : ViewController(parent) {}
