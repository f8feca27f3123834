#include "Platform/AddressBook/ABPeoplePickerNavigationController.h"

#include "Platform/AddressBook/NSPredicate.h"
#include "Platform/UI/AccessibleItems.h"
#include "Platform/UI/UINavigationBar.h"

#include <QAbstractListModel>
#include <QCollator>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QScroller>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

// Everyone in the book once, sorted by name; the filter keeps positions into that list.
class PeopleListModel : public QAbstractListModel
{
public:
    explicit PeopleListModel(const ABAddressBookRef &addressBook)
    {
        const QList<ABRecordRef> people = ABAddressBookCopyArrayOfAllPeople(addressBook);
        QCollator collator;
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        entries.reserve(size_t(people.size()));
        for (const ABRecordRef &person : people) {
            const QString name = ABRecordCopyCompositeName(person).value_or(QString());
            entries.push_back({person, name, NSStringFoldForComparison(name, true, true),
                               collator.sortKey(name)});
        }
        std::stable_sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
            return a.sortKey.compare(b.sortKey) < 0;
        });
        setFilter(QString());
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
        const QString wanted = NSStringFoldForComparison(text.trimmed(), true, true);
        beginResetModel();
        shown.clear();
        for (size_t position = 0; position < entries.size(); ++position) {
            if (wanted.isEmpty() || entries[position].foldedName.contains(wanted))
                shown.push_back(position);
        }
        endResetModel();
    }

    ABRecordRef personAt(int row) const { return entries[shown[size_t(row)]].person; }
    bool bookIsEmpty() const { return entries.empty(); }

private:
    struct Entry
    {
        ABRecordRef person;
        QString name;
        QString foldedName;
        QCollatorSortKey sortKey;
    };
    std::vector<Entry> entries;
    std::vector<size_t> shown;
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
    message = new QLabel(this);
    message->setAlignment(Qt::AlignCenter);
    message->setWordWrap(true);
    message->setTextInteractionFlags(Qt::TextSelectableByMouse);
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
    addressBook = ABAddressBookCreate();
    model = std::make_unique<PeopleListModel>(addressBook);
    list->setModel(model.get());
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
    message->setText(model->bookIsEmpty() ? pickerTexts.emptyBook : pickerTexts.noMatches);
    message->setVisible(nothingListed);
    list->setVisible(!nothingListed);
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
