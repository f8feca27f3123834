#include "CallLogViewController.h"

CallLogViewController::CallLogViewController(QWidget *parent) : ViewController(parent) {}
