#include "Platform/UI/AccessibleItems.h"

#include "Platform/UI/UITabBar.h"
#include "Platform/UI/UITableViewCell.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QListView>
#include <QPointer>
#include <utility>

namespace {

// A widget whose items (tabs, list rows) are drawn rather than widgets of their own. The
// items are offered as children, made when first asked for. An item stands for a position and
// reads everything afresh, so it stays right when rows are filtered or tabs renamed.
class AccessibleItemView : public QAccessibleWidget
{
public:
    struct Item
    {
        QString name;
        QRect rect; // in the widget's coordinates; empty when scrolled out of view
        bool selected = false;
    };

    AccessibleItemView(QWidget *widget, QAccessible::Role role, QAccessible::Role itemRole)
        : QAccessibleWidget(widget, role), itemRole(itemRole)
    {
    }
    ~AccessibleItemView() override
    {
        for (const QAccessible::Id id : std::as_const(madeItems))
            QAccessible::deleteAccessibleInterface(id);
    }

    virtual int itemCount() const = 0;
    virtual Item item(int index) const = 0;
    virtual void press(int index) = 0;

    QAccessible::Role roleOfItems() const { return itemRole; }
    // Empty when the item is not on screen.
    QRect screenRectOf(int index) const
    {
        const QRect inWidget = item(index).rect;
        if (inWidget.isEmpty() || !widget()->isVisible())
            return {};
        return {widget()->mapToGlobal(inWidget.topLeft()), inWidget.size()};
    }

    int childCount() const override { return itemCount(); }
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;

protected:
    // Tells listeners that an item became selected or stopped being so.
    void announceSelectionOf(int index);

private:
    QAccessible::Role itemRole;
    mutable QHash<int, QAccessible::Id> madeItems;
};

class AccessibleItem : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    AccessibleItem(AccessibleItemView *view, int index) : view(view), index(index) {}

    bool isValid() const override { return view->isValid() && index < view->itemCount(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return view->window(); }
    QAccessibleInterface *parent() const override { return view; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return view->roleOfItems(); }

    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name ? view->item(index).name : QString();
    }
    void setText(QAccessible::Text, const QString &) override {}

    QRect rect() const override { return view->screenRectOf(index); }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.selectable = true;
        state.selected = view->item(index).selected;
        state.invisible = view->screenRectOf(index).isEmpty();
        state.offscreen = state.invisible;
        return state;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface
                   ? static_cast<QAccessibleActionInterface *>(this)
                   : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }
    void doAction(const QString &action) override
    {
        if (action == pressAction() && isValid())
            view->press(index);
    }

    int position() const { return index; }

private:
    AccessibleItemView *view;
    int index;
};

QAccessibleInterface *AccessibleItemView::child(int index) const
{
    if (index < 0 || index >= itemCount())
        return nullptr;
    if (const auto made = madeItems.constFind(index); made != madeItems.cend())
        return QAccessible::accessibleInterface(*made);
    auto *item = new AccessibleItem(const_cast<AccessibleItemView *>(this), index);
    madeItems.insert(index, QAccessible::registerAccessibleInterface(item));
    return item;
}

int AccessibleItemView::indexOfChild(const QAccessibleInterface *child) const
{
    const auto *item = dynamic_cast<const AccessibleItem *>(child);
    return item && item->parent() == this ? item->position() : -1;
}

QAccessibleInterface *AccessibleItemView::childAt(int x, int y) const
{
    const QPoint point = widget()->mapFromGlobal(QPoint(x, y));
    for (int index = 0; index < itemCount(); ++index) {
        if (item(index).rect.contains(point))
            return child(index);
    }
    return nullptr;
}

void AccessibleItemView::announceSelectionOf(int index)
{
    if (index < 0 || index >= itemCount())
        return;
    QAccessible::State changed;
    changed.selected = true;
    QAccessibleStateChangeEvent event(child(index), changed);
    QAccessible::updateAccessibility(&event);
}

class AccessibleTabBar : public AccessibleItemView
{
public:
    explicit AccessibleTabBar(UITabBar *bar)
        : AccessibleItemView(bar, QAccessible::PageTabList, QAccessible::PageTab), bar(bar),
          shownIndex(bar->currentIndex())
    {
        QObject::connect(bar, &QTabBar::currentChanged, bar, [this](int index) {
            announceSelectionOf(std::exchange(shownIndex, index));
            announceSelectionOf(index);
        });
    }

    int itemCount() const override { return bar ? bar->count() : 0; }
    Item item(int index) const override
    {
        return {bar->tabText(index), bar->tabRect(index), index == bar->currentIndex()};
    }
    void press(int index) override { bar->setCurrentIndex(index); }

private:
    QPointer<UITabBar> bar;
    int shownIndex;
};

// A row's Press is its activation, as a tap or Return gives.
class AccessibleListView : public AccessibleItemView
{
public:
    explicit AccessibleListView(QListView *list)
        : AccessibleItemView(list, QAccessible::List, QAccessible::ListItem), list(list)
    {
    }

    int itemCount() const override
    {
        return list && list->model() ? list->model()->rowCount(list->rootIndex()) : 0;
    }
    Item item(int index) const override
    {
        const QModelIndex row = list->model()->index(index, 0, list->rootIndex());
        const QRect shown = list->visualRect(row).intersected(list->viewport()->rect());
        return {row.data(Qt::DisplayRole).toString(), shown.translated(list->viewport()->pos()),
                list->selectionModel() && list->selectionModel()->isSelected(row)};
    }
    void press(int index) override
    {
        const QModelIndex row = list->model()->index(index, 0, list->rootIndex());
        list->setCurrentIndex(row);
        Q_EMIT list->activated(row);
    }

private:
    QPointer<QListView> list;
};

// A table row is a widget of its own; it gains the row's role, the selected state and a
// Press that taps it. Its title names it and its detail line describes it, unless it was given
// a name, which then says both.
class AccessibleTableViewCell : public QAccessibleWidget
{
public:
    explicit AccessibleTableViewCell(UITableViewCell *cell)
        : QAccessibleWidget(cell, QAccessible::ListItem), cell(cell)
    {
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name && cell->accessibleName().isEmpty())
            return cell->textLabel()->text();
        if (kind == QAccessible::Description && cell->accessibleDescription().isEmpty() &&
            cell->accessibleName().isEmpty() && cell->detailTextLabel())
            return cell->detailTextLabel()->text();
        return QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.selectable = true;
        state.selected = cell->isSelected();
        return state;
    }

    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &action) override
    {
        if (action == pressAction())
            cell->tap();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    UITableViewCell *cell;
};

QAccessibleInterface *accessibleItemsFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("UITabBar"))
        return new AccessibleTabBar(static_cast<UITabBar *>(object));
    if (className == QLatin1String("UITableViewCell"))
        return new AccessibleTableViewCell(static_cast<UITableViewCell *>(object));
    if (className == QLatin1String("QListView"))
        return new AccessibleListView(static_cast<QListView *>(object));
    return nullptr;
}

} // namespace

void UseAccessibleItems()
{
    static const bool installed = [] {
        QAccessible::installFactory(accessibleItemsFactory);
        return true;
    }();
    Q_UNUSED(installed);
}
