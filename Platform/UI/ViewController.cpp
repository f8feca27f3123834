#include "Platform/UI/ViewController.h"

namespace {
const char *const tagProperty = "tag";
}

ViewController::ViewController(QWidget *parent) : QWidget(parent) {}

QWidget *ViewController::view()
{
    if (!viewLoaded) {
        viewLoaded = true;
        loadView();
        viewDidLoad();
    }
    return this;
}

QWidget *ViewController::viewWithTag(int tag)
{
    return ::viewWithTag(view(), tag);
}

void setViewTag(QWidget *view, int tag)
{
    view->setProperty(tagProperty, tag);
}

int viewTag(const QWidget *view)
{
    return view->property(tagProperty).toInt();
}

QWidget *viewWithTag(QWidget *root, int tag)
{
    if (viewTag(root) == tag)
        return root;
    const auto descendants = root->findChildren<QWidget *>();
    for (QWidget *descendant : descendants) {
        if (viewTag(descendant) == tag)
            return descendant;
    }
    return nullptr;
}
