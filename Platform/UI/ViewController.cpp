#include "Platform/UI/ViewController.h"

#include "Platform/UI/UINavigationController.h"

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

UINavigationController *ViewController::navigationController() const
{
    for (QWidget *ancestor = parentWidget(); ancestor; ancestor = ancestor->parentWidget()) {
        if (auto *navigation = qobject_cast<UINavigationController *>(ancestor))
            return navigation;
    }
    return nullptr;
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
