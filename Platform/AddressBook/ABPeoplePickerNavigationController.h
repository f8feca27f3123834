#pragma once

#include "Platform/AddressBook/ABAddressBook.h"
#include "Platform/UI/ViewController.h"

#include <QPointer>

class ABPeoplePickerNavigationController;
class ABStore;
class EmptyStateView;
class PeopleListModel;
class QLabel;
class QLineEdit;
class QListView;
class UINavigationBar;

class ABPeoplePickerNavigationControllerDelegate
{
public:
    virtual ~ABPeoplePickerNavigationControllerDelegate() = default;
    // A person was tapped; the record is valid during the call. Yes would show the person's
    // values to choose from.
    virtual bool shouldContinueAfterSelectingPerson(ABPeoplePickerNavigationController *picker,
                                                    const ABRecordRef &person) = 0;
    virtual bool shouldContinueAfterSelectingPerson(ABPeoplePickerNavigationController *picker,
                                                    const ABRecordRef &person,
                                                    ABPropertyID property,
                                                    ABMultiValueIdentifier identifier) = 0;
    virtual void
    peoplePickerNavigationControllerDidCancel(ABPeoplePickerNavigationController *picker) = 0;
};

// Chooses a person of the address book: everyone by composite name in the stored name order,
// filtered as one types, and a cancel button. Lists of any length cost one view, not a widget
// per person. The list follows the store while shown; while the store is still being read or
// cannot be reached, the picker says so instead.
class ABPeoplePickerNavigationController : public ViewController
{
    Q_OBJECT

public:
    // What the picker says, in the language of the screen that presents it.
    struct Texts
    {
        QString title = QStringLiteral("Contacts");
        QString cancel = QStringLiteral("Cancel");
        QString search = QStringLiteral("Search");
        QString emptyBook = QStringLiteral("No contacts yet. Import a vCard file with\n"
                                           "molvane --import-contacts FILE.vcf");
        QString noMatches = QStringLiteral("No matches");
        QString loading = QStringLiteral("Loading contacts…");
        QString unavailable = QStringLiteral("The address book cannot be opened.");
    };

    explicit ABPeoplePickerNavigationController(QWidget *parent = nullptr);
    ~ABPeoplePickerNavigationController() override;

    void setPeoplePickerDelegate(ABPeoplePickerNavigationControllerDelegate *delegate)
    {
        pickerDelegate = delegate;
    }
    void setTexts(const Texts &texts);

    void viewDidLoad() override;

    // For tests and assistive tools: the names listed now, in order.
    QStringList listedNames() const;
    QLineEdit *searchField() const { return search; }
    QListView *peopleList() const { return list; }
    UINavigationBar *navigationBar() const { return bar; }
    QLabel *emptyMessage() const;

protected:
    void loadView() override;

private:
    void filterChanged(const QString &text);
    void personTapped(const QModelIndex &index);
    void cancelTapped();
    void reloadSoon();
    void reloadPeople();
    void showMessageIfEmpty();

    enum class BookState
    {
        Loading,
        Unavailable,
        Listed,
    };

    ABPeoplePickerNavigationControllerDelegate *pickerDelegate = nullptr;
    QPointer<ABStore> store;
    ABAddressBookRef addressBook;
    BookState bookState = BookState::Loading;
    bool reloadPending = false;
    Texts pickerTexts;
    UINavigationBar *bar = nullptr;
    QLineEdit *search = nullptr;
    QListView *list = nullptr;
    EmptyStateView *message = nullptr;
    std::unique_ptr<PeopleListModel> model;
};
