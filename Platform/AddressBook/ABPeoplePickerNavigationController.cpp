#include "Platform/AddressBook/ABPeoplePickerNavigationController.h"

#include "Platform/AddressBook/ABStore.h"
#include "Platform/AddressBook/NSPredicate.h"
#include "Platform/Log.h"
#include "Platform/UI/AccessibleItems.h"
#include "Platform/UI/EmptyStateView.h"
#include "Platform/UI/UINavigationBar.h"

#include <QAbstractListModel>
#include <QCollator>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QScroller>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

// Everyone in the book once, sorted by name; the filter keeps positions into that list.
class PeopleListModel : public QAbstractListModel
{
public:
    // Replaces those listed by everyone in the book; the filter stays as it was.
    void setPeople(const QList<ABRecordRef> &people)
    {
        QCollator collator;
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        entries.clear();
        entries.reserve(size_t(people.size()));
        for (const ABRecordRef &person : people) {
            const QString name = ABRecordCopyCompositeName(person).value_or(QString());
            entries.push_back({person, name, NSStringFoldForComparison(name, true, true),
                               collator.sortKey(name)});
        }
        std::stable_sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
            return a.sortKey.compare(b.sortKey) < 0;
        });
        applyFilter();
    }

    int rowCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : int(shown.size());
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= int(shown.size()))
            return {};
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
            return entries[shown[size_t(index.row())]].name;
        return {};
    }

    // Names that hold the text, ignoring case and diacritic marks.
    void setFilter(const QString &text)
    {
        wanted = NSStringFoldForComparison(text.trimmed(), true, true);
        applyFilter();
    }

    ABRecordRef personAt(int row) const { return entries[shown[size_t(row)]].person; }
    // The row listing the person with that identifier, or -1.
    int rowOf(ABRecordID recordID) const
    {
        const auto found = std::find_if(shown.begin(), shown.end(), [&](size_t position) {
            return ABRecordGetRecordID(entries[position].person) == recordID;
        });
        return found == shown.end() ? -1 : int(found - shown.begin());
    }
    bool bookIsEmpty() const { return entries.empty(); }

private:
    void applyFilter()
    {
        beginResetModel();
        shown.clear();
        for (size_t position = 0; position < entries.size(); ++position) {
            if (wanted.isEmpty() || entries[position].foldedName.contains(wanted))
                shown.push_back(position);
        }
        endResetModel();
    }

    struct Entry
    {
        ABRecordRef person;
        QString name;
        QString foldedName;
        QCollatorSortKey sortKey;
    };
    std::vector<Entry> entries;
    std::vector<size_t> shown;
    QString wanted;
};

ABPeoplePickerNavigationController::ABPeoplePickerNavigationController(QWidget *parent)
    : ViewController(parent)
{
    setAutoFillBackground(true);
}

ABPeoplePickerNavigationController::~ABPeoplePickerNavigationController() = default;

void ABPeoplePickerNavigationController::loadView()
{
    bar = new UINavigationBar(this);
    search = new QLineEdit(this);
    search->setClearButtonEnabled(true);
    search->setMinimumHeight(44);
    UseAccessibleItems();
    list = new QListView(this);
    list->setUniformItemSizes(true);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setStyleSheet(QStringLiteral("QListView::item { padding: 12px 15px; }"));
    QScroller::grabGesture(list->viewport(), QScroller::TouchGesture);
    message = new EmptyStateView(this);
    message->setPicture(EmptyStateView::Picture::Person);
    message->textLabel()->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(bar);
    column->addWidget(search);
    column->addWidget(list, 1);
    column->addWidget(message, 1);
    connect(bar->rightButton(), &QToolButton::clicked, this,
            &ABPeoplePickerNavigationController::cancelTapped);
    // Escape is the keyboard's Cancel, wherever the focus is in the window.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &ABPeoplePickerNavigationController::cancelTapped);
    connect(search, &QLineEdit::textChanged, this,
            &ABPeoplePickerNavigationController::filterChanged);
    connect(list, &QListView::clicked, this, &ABPeoplePickerNavigationController::personTapped);
    connect(list, &QListView::activated, this, &ABPeoplePickerNavigationController::personTapped);
    setTexts(pickerTexts);
}

void ABPeoplePickerNavigationController::viewDidLoad()
{
    model = std::make_unique<PeopleListModel>();
    list->setModel(model.get());
    reloadPeople();
}

// A burst of changes (a sync, an import) makes one rebuild.
void ABPeoplePickerNavigationController::reloadSoon()
{
    if (std::exchange(reloadPending, true))
        return;
    QTimer::singleShot(0, this, [this] {
        reloadPending = false;
        reloadPeople();
    });
}

// Taking a snapshot of a store that is not ready would wait for it, so the picker only
// lists people once the store says it is, and hears from it when that changes.
void ABPeoplePickerNavigationController::reloadPeople()
{
    std::optional<ABError> error;
    ABStore *current = ABStore::shared(&error);
    if (current != store) {
        if (store)
            disconnect(store, nullptr, this, nullptr);
        store = current;
        if (store)
            connect(store, &ABStore::changed, this,
                    &ABPeoplePickerNavigationController::reloadSoon);
    }
    // Whoever is at the top of the list stays there, though people come and go around them.
    const QModelIndex top = list->indexAt(QPoint(0, 0));
    const ABRecordID topPerson =
        top.isValid() ? ABRecordGetRecordID(model->personAt(top.row())) : kABRecordInvalidID;
    addressBook.reset();
    if (store && store->isReady())
        addressBook = ABAddressBookCreateWithOptions(&error);
    if (addressBook)
        bookState = BookState::Listed;
    else if (store && !store->isReady() && !store->unavailableReason())
        bookState = BookState::Loading;
    else
        bookState = BookState::Unavailable;
    if (error)
        NSLog(QStringLiteral("Error: %1").arg(error->localizedDescription()));
    model->setPeople(ABAddressBookCopyArrayOfAllPeople(addressBook));
    if (const int row = model->rowOf(topPerson); row >= 0)
        list->scrollTo(model->index(row), QAbstractItemView::PositionAtTop);
    showMessageIfEmpty();
}

void ABPeoplePickerNavigationController::setTexts(const Texts &texts)
{
    pickerTexts = texts;
    if (!bar)
        return;
    bar->setTitle(texts.title);
    bar->setRightButtonTitle(texts.cancel);
    search->setPlaceholderText(texts.search);
    search->setAccessibleName(texts.search);
    list->setAccessibleName(texts.title);
    if (model)
        showMessageIfEmpty();
}

QLabel *ABPeoplePickerNavigationController::emptyMessage() const
{
    return message ? message->textLabel() : nullptr;
}

QStringList ABPeoplePickerNavigationController::listedNames() const
{
    QStringList names;
    for (int row = 0; model && row < model->rowCount({}); ++row)
        names << model->data(model->index(row), Qt::DisplayRole).toString();
    return names;
}

void ABPeoplePickerNavigationController::filterChanged(const QString &text)
{
    model->setFilter(text);
    showMessageIfEmpty();
}

void ABPeoplePickerNavigationController::showMessageIfEmpty()
{
    const bool nothingListed = model->rowCount({}) == 0;
    switch (bookState) {
    case BookState::Loading:
        message->setText(pickerTexts.loading);
        break;
    case BookState::Unavailable:
        message->setText(pickerTexts.unavailable);
        break;
    case BookState::Listed:
        message->setText(model->bookIsEmpty() ? pickerTexts.emptyBook : pickerTexts.noMatches);
        break;
    }
    message->setVisible(nothingListed);
    list->setVisible(!nothingListed);
    // The search text is kept while hidden, and filters again once people are back.
    search->setVisible(!model->bookIsEmpty());
}

void ABPeoplePickerNavigationController::personTapped(const QModelIndex &index)
{
    if (!index.isValid() || !pickerDelegate)
        return;
    // Taps that arrive while the delegate dismisses the picker must not report twice.
    ABPeoplePickerNavigationControllerDelegate *delegate = std::exchange(pickerDelegate, nullptr);
    if (delegate->shouldContinueAfterSelectingPerson(this, model->personAt(index.row())))
        pickerDelegate = delegate;
}

void ABPeoplePickerNavigationController::cancelTapped()
{
    if (ABPeoplePickerNavigationControllerDelegate *delegate =
            std::exchange(pickerDelegate, nullptr))
        delegate->peoplePickerNavigationControllerDidCancel(this);
}
