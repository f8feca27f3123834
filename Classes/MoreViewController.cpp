#include "MoreViewController.h"

MoreViewController::MoreViewController(QWidget *parent) : ViewController(parent) {}
