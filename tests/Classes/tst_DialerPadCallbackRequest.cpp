#include "DialerPadViewController.h"
#include "Platform/Files/DocumentsDirectory.h"
#include "Platform/Files/PropertyList.h"
#include "Platform/Telephony/CoreTelephony.h"
#include "Platform/Telephony/TelephonyService.h"
#include "Platform/UI/TabBarController.h"
#include "Platform/UI/UIActivityIndicatorView.h"
#include "Platform/UI/UIAlertView.h"
#include "support/CallLogFiles.h"
#include "support/DialPadScreen.h"
#include "support/LaunchedApplication.h"
#include "support/RecordingBackend.h"
#include "support/TestMain.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {

QList<QWidget *> waitingOverlays(DialerPadViewController *dialPad)
{
    QList<QWidget *> shown;
    const auto overlays = dialPad->findChildren<QWidget *>(QStringLiteral("WaitingOverlay"));
    for (QWidget *overlay : overlays) {
        if (overlay->isVisible())
            shown << overlay;
    }
    return shown;
}

// Fires the pending overlay removals now instead of waiting five seconds.
void fireOverlayRemoval(DialerPadViewController *dialPad, int which = 0)
{
    const auto removals = dialPad->findChildren<QTimer *>(QStringLiteral("WaitingOverlayRemoval"));
    QVERIFY(removals.size() > which);
    QPointer<QTimer> removal = removals.at(which);
    QCOMPARE(removal->interval(), WaitingCover::lifetimeMilliseconds);
    QVERIFY(removal->isActive());
    removal->start(0);
    // A removal is done once its timer has gone.
    QTRY_VERIFY(!removal);
}
} // namespace

class DialerPadCallbackRequestTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<LaunchedApplication> app;
    RecordingBackend *modem = nullptr;
    DialerPadViewController *dialPad = nullptr;
    DialPadScreen screen() const { return DialPadScreen(dialPad); }

    void launch(const QVariantMap &preferences = {})
    {
        app.reset();
        app = std::make_unique<LaunchedApplication>(preferences);
        modem = RecordingBackend::install(callLogPath());
        dialPad = app->delegate()->dialerPadViewController;
        QVERIFY(dialPad->isViewLoaded());
    }

    void request(const QString &number)
    {
        screen().enter(number);
        QTest::mouseClick(screen().call, Qt::LeftButton);
    }

private Q_SLOTS:
    void init()
    {
        QFile::remove(callLogPath());
        launch();
    }

    void cleanup()
    {
        for (UIAlertView *alert : UIAlertView::visibleAlerts())
            alert->close();
        app.reset();
    }

    void workedExamples_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("numberClass");
        QTest::addColumn<QString>("code");
        QTest::newRow("plus") << "+123" << 0 << "*146*00123#";
        QTest::newRow("double zero") << "00123" << 1 << "*146*00123#";
        QTest::newRow("national") << "812" << 2 << "146812#";
        QTest::newRow("plus then zeros") << "+00123" << 0 << "*146*0000123#";
        QTest::newRow("zeros then plus") << "00+123" << 1 << "*146*00+123#";
        QTest::newRow("plus alone") << "+" << 0 << "*146*00#";
        QTest::newRow("one zero") << "0" << 2 << "1460#";
        QTest::newRow("one digit") << "5" << 2 << "1465#";
        QTest::newRow("service code") << "*100#" << 2 << "146*100##";
        QTest::newRow("spaces and dash") << "+7 12-3" << 0 << "*146*007 12-3#";
    }

    void workedExamples()
    {
        QFETCH(QString, typed);
        QFETCH(int, numberClass);
        QFETCH(QString, code);
        QCOMPARE(int(DialerPadViewController::CheckTheConditionForNumberInitial(typed)),
                 numberClass);
        QCOMPARE(DialerPadViewController::CallbackRequestCode(typed), code);
        request(typed);
        // Separators the modem would ignore are dropped on the way to it.
        QCOMPARE(modem->dialled, QStringList{QString(code).remove(QRegularExpression("[ ().-]"))});
        // The log keeps the number as typed, never the stripped number or the code.
        QCOMPARE(loggedNumbers(), QStringList{typed});
        QCOMPARE(screen().number->text(), QString());
    }

    void onlyTheLeadingPrefixIsStripped()
    {
        using D = DialerPadViewController;
        QCOMPARE(D::CheckTheConditionForNumberInitial(QString()), NumberStartsWithOther);
        QCOMPARE(D::CheckTheConditionForNumberInitial(QStringLiteral(" +1")),
                 NumberStartsWithOther);
        QCOMPARE(D::CheckTheConditionForNumberInitial(QStringLiteral("0+1")),
                 NumberStartsWithOther);
        QCOMPARE(D::RemoveThePlusSignFromDialledNumber(QStringLiteral("++1")),
                 QStringLiteral("+1"));
        QCOMPARE(D::RemoveThePlusSignFromDialledNumber(QString()), QString());
        QCOMPARE(D::RemoveThePlusSignFromDialledNumber(QStringLiteral("1+")), QStringLiteral("1+"));
        QCOMPARE(D::RemoveTheDoubleZeroFromDialledNumber(QStringLiteral("0")), QStringLiteral("0"));
        QCOMPARE(D::RemoveTheDoubleZeroFromDialledNumber(QStringLiteral("000")),
                 QStringLiteral("0"));
        QCOMPARE(D::RemoveTheDoubleZeroFromDialledNumber(QStringLiteral("100")),
                 QStringLiteral("100"));
    }

    void emptyNumberOnlyAlerts_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("message");
        QTest::newRow("english") << "english"
                                 << "Invalid Number!"
                                 << "Please provide a valid number!";
        QTest::newRow("russian") << "russian"
                                 << "Неверный номер телефона!"
                                 << "предоставить действительный номер";
        QTest::newRow("other") << "English"
                               << "Неверный номер телефона!"
                               << "предоставить действительный номер";
    }

    void emptyNumberOnlyAlerts()
    {
        QFETCH(QString, language);
        QFETCH(QString, title);
        QFETCH(QString, message);
        launch({{QStringLiteral("current_language"), language}});
        request(QString());

        const auto alerts = UIAlertView::visibleAlerts();
        QCOMPARE(alerts.size(), 1);
        QCOMPARE(alerts.first()->text(), title);
        QCOMPARE(alerts.first()->informativeText(), message);
        QCOMPARE(alerts.first()->numberOfButtons(), 1);
        QCOMPARE(alerts.first()->buttonTitleAtIndex(0), QStringLiteral("OK"));
        QVERIFY(modem->dialled.isEmpty());
        QVERIFY(!QFile::exists(callLogPath()));

        alerts.first()->dismissWithClickedButtonIndex(0);
        QTRY_VERIFY(UIAlertView::visibleAlerts().isEmpty());
    }

    void requestIsLoggedBeforeItIsDialled()
    {
        request(QStringLiteral("+123"));
        // The recording modem dials nothing, like a failed dial; the log has the entry anyway.
        QCOMPARE(modem->fileAtDial.size(), 1);
        const QByteArray atDial = modem->fileAtDial.first();
        QVERIFY(atDial.contains("<string>+123</string>"));
        QVERIFY(atDial.contains("<key>phone_time</key>"));
        QCOMPARE(loggedNumbers(), QStringList{QStringLiteral("+123")});
    }

    void entryCarriesTheLocalTime()
    {
        const QDateTime before = QDateTime::currentDateTime();
        request(QStringLiteral("812"));
        const QDateTime after = QDateTime::currentDateTime();
        const auto time = CallLogEntry(ReadPropertyListArray(callLogPath())->first()).phoneTime();
        QVERIFY(time == CallLogEntry::formattedTime(before) ||
                time == CallLogEntry::formattedTime(after));
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d at \\d\\d:\\d\\d$"))
                    .match(*time)
                    .hasMatch());
    }

    void repeatedRequestsMoveTheNumberToTheEnd()
    {
        request(QStringLiteral("812"));
        request(QStringLiteral("+123"));
        request(QStringLiteral("00123"));
        request(QStringLiteral("812"));
        QCOMPARE(loggedNumbers(), (QStringList{QStringLiteral("+123"), QStringLiteral("00123"),
                                               QStringLiteral("812")}));
        QCOMPARE(modem->dialled.size(), 4);
    }

    void unreadableLogIsLeftAloneAndTheRequestStillDialled()
    {
        QVERIFY(QDir().mkpath(callLogPath()));
        request(QStringLiteral("812"));
        QCOMPARE(modem->dialled, QStringList{QStringLiteral("146812#")});
        QVERIFY(QFileInfo(callLogPath()).isDir());
        QDir(callLogPath()).removeRecursively();
    }

    void autoAnswerOffClearsTheNumberAtOnce()
    {
        request(QStringLiteral("812"));
        QCOMPARE(screen().number->text(), QString());
        QVERIFY(waitingOverlays(dialPad).isEmpty());
        QVERIFY(!screen().waitingCover());
    }

    void autoAnswerOnShowsTheOverlayForFiveSeconds()
    {
        launch({{QStringLiteral("enable_autoanswer"), true}});
        dialPad->window()->resize(400, 700);
        request(QStringLiteral("812"));

        QCOMPARE(waitingOverlays(dialPad).size(), 1);
        QWidget *overlay = screen().waitingCover();
        QVERIFY(overlay);
        QCOMPARE(overlay->geometry(), dialPad->rect());
        QCOMPARE(overlay->findChild<QLabel *>()->text(), QStringLiteral("Waiting for Callback..."));
        auto *indicator = overlay->findChild<UIActivityIndicatorView *>();
        QVERIFY(indicator->isAnimating());
        QCOMPARE(indicator->x() + indicator->width() / 2, dialPad->width() / 2);
        QCOMPARE(overlay->findChild<QLabel *>()->geometry(), QRect(0, 230, dialPad->width(), 30));
        QCOMPARE(screen().number->text(), QStringLiteral("812"));

        fireOverlayRemoval(dialPad);
        QCOMPARE(screen().number->text(), QString());
        QVERIFY(waitingOverlays(dialPad).isEmpty());
        QVERIFY(!screen().waitingCover());
    }

    void overlayCaptionFollowsTheLanguage()
    {
        launch({{QStringLiteral("enable_autoanswer"), true},
                {QStringLiteral("current_language"), QStringLiteral("russian")}});
        request(QStringLiteral("812"));
        QCOMPARE(screen().waitingCover()->findChild<QLabel *>()->text(),
                 QStringLiteral("В ожидании Обратный звонок…"));
    }

    void eachRemovalTakesItsOwnOverlay()
    {
        launch({{QStringLiteral("enable_autoanswer"), true}});
        request(QStringLiteral("812"));
        QWidget *first = screen().waitingCover();
        request(QStringLiteral("+123"));
        QWidget *second = screen().waitingCover();
        QVERIFY(first != second);
        QCOMPARE(waitingOverlays(dialPad).size(), 2);

        fireOverlayRemoval(dialPad, 0);
        QCOMPARE(waitingOverlays(dialPad), QList<QWidget *>{second});
        QCOMPARE(screen().waitingCover(), second);

        fireOverlayRemoval(dialPad, 0);
        QVERIFY(waitingOverlays(dialPad).isEmpty());
        QVERIFY(!screen().waitingCover());
    }

    void outcomeOnTheScreen_data()
    {
        QTest::addColumn<int>("failure"); // -1: sent
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("russian");
        QTest::newRow("sent") << -1 << ""
                              << "";
        QTest::newRow("refused") << int(DialOutcome::Refused)
                                 << "Not sent: the number cannot be dialled"
                                 << "Не отправлено: номер нельзя набрать";
        QTest::newRow("no service") << int(DialOutcome::NoService) << "Not sent: no modem available"
                                    << "Не отправлено: модем недоступен";
        QTest::newRow("not authorised")
            << int(DialOutcome::NotAuthorised) << "Not sent: not allowed to use the modem"
            << "Не отправлено: нет доступа к модему";
        QTest::newRow("modem error")
            << int(DialOutcome::ModemError) << "Not sent: the modem or network refused it"
            << "Не отправлено: модем или сеть отказали";
        QTest::newRow("network refused")
            << int(DialOutcome::NetworkRefused) << "Not sent: the network rejected the request"
            << "Не отправлено: сеть отклонила запрос";
        QTest::newRow("unknown") << int(DialOutcome::OutcomeUnknown)
                                 << "Not confirmed: the modem did not answer in time"
                                 << "Не подтверждено: модем не ответил вовремя";
    }

    // A request that was not sent ends the wait at once; one that may still have gone out
    // keeps waiting for its callback.
    void outcomeOnTheScreen()
    {
        QFETCH(int, failure);
        for (const QString language : {"english", "russian"}) {
            launch({{"enable_autoanswer", true}, {"current_language", language}});
            if (failure >= 0)
                modem->outcome = DialOutcome::failed(DialOutcome::Failure(failure));
            const bool waits = failure < 0 || failure == DialOutcome::OutcomeUnknown;
            request("812");
            QVERIFY(screen().progress->isAnimating());

            QTRY_VERIFY(!screen().progress->isAnimating());
            QFETCH(QString, english);
            QFETCH(QString, russian);
            QCOMPARE(screen().status->text(), language == "english" ? english : russian);
            QCOMPARE(waitingOverlays(dialPad).size(), waits ? 1 : 0);
            QCOMPARE(CTTelephonyCenterGetDefault()->registrationCount() > 0, waits);
            QCOMPARE(loggedNumbers(), QStringList{"812"});
            QFile::remove(callLogPath());
        }
    }

    void failedRequestTakesOnlyItsOwnOverlay()
    {
        launch({{"enable_autoanswer", true}});
        modem->outcome = DialOutcome::failed(DialOutcome::ModemError);
        request("812");
        modem->outcome = DialOutcome::sent();
        request("+123");
        QWidget *second = screen().waitingCover();
        QTRY_COMPARE(waitingOverlays(dialPad), QList<QWidget *>{second});
        QCOMPARE(screen().status->text(), "Not sent: the modem or network refused it");
    }
};

MOLVANE_TEST_MAIN(DialerPadCallbackRequestTest)
#include "tst_DialerPadCallbackRequest.moc"
