#include "gui/config/add_host_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

#include "core/base/app_paths.h"
#include "core/config/proxy_field.h"
#include "core/i18n/languages.h"
#include "support/gui/find_control.h"
#include "support/gui/modal_dialog.h"
#include "support/temp_dir.h"

namespace pelmora {
namespace {

using test::TempDir;
using test::WriteFile;

// The program's folder is a fresh one with a language file of the test's
// own, so every text below comes from there.
class AddHostDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directory(dir_ / "Languages");
        WriteFile(dir_ / "Languages" / "Test.lng",
                  "[Messages]\n"
                  "NewIP=New IP\nNewHTTP=New web\nNewLAN=New LAN\n"
                  "EditIP=Edit IP\nEditHTTP=Edit web\n"
                  "InputIP=IP please\nInputHost=Address please\nInputLAN=Name please\n"
                  "[frmAddHost]\ncbProxy=Via a proxy\nbtnOK=Fine\n");
        SetExecutableDirForTesting(dir_.Path());
        SetCurrentLanguage("Test");
        dialog_ = std::make_unique<TfrmAddHost>(nullptr);
    }
    void TearDown() override { SetExecutableDirForTesting({}); }

    template <typename T> T* Control(const char* name)
    {
        return test::FindControl<T>(*dialog_, name);
    }

    QLineEdit* IpField() { return Control<QLineEdit>("MaskEdit1"); }
    QLineEdit* TextField() { return Control<QLineEdit>("edHTTP"); }
    QCheckBox* UseProxy() { return Control<QCheckBox>("cbProxy"); }
    QLineEdit* Ipv6Field() { return Control<QLineEdit>("edIPv6"); }

    // Shows the dialog and enters the IP field the way Tab does.
    void EnterIpField()
    {
        dialog_->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
        IpField()->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(IpField()->hasFocus());
    }

    TempDir dir_;
    // Made once the language is chosen, since it translates itself.
    std::unique_ptr<TfrmAddHost> dialog_;
};

TEST_F(AddHostDialog, EachModeHasItsTitlePromptFieldsAndPrefill)
{
    const struct {
        HostEntryMode mode;
        const char* line;
        const char* title;
        const char* prompt;
        bool ipField;
        bool textField;
        bool proxy;
        const char* prefill; // of the field shown for the address
    } cases[] = {
        {HostEntryMode::AddIP, "", "New IP", "IP please", true, false, false, "___.___.___.___"},
        {HostEntryMode::AddHTTP, "", "New web", "Address please", true, true, true, "http://"},
        {HostEntryMode::AddLAN, "", "New LAN", "Name please", false, true, false, "\\\\"},
        {HostEntryMode::EditIP, "192.168.1.1", "Edit IP", "IP please", true, false, false,
         "192.168.001.001"},
        {HostEntryMode::EditHTTP, "HTTP://x/", "Edit web", "Address please", true, true, true,
         "HTTP://x/"},
        // No text for the key: the key itself shows.
        {HostEntryMode::EditLAN, " \\\\pc ", "EditLAN", "Name please", false, true, false,
         " \\\\pc "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        dialog_->Prepare(c.mode, c.line);
        EXPECT_EQ(dialog_->windowTitle(), QLatin1String(c.title));
        EXPECT_EQ(Control<QLabel>("lbHint")->text(), QLatin1String(c.prompt));
        EXPECT_EQ(IpField()->isVisibleTo(dialog_.get()), c.ipField);
        EXPECT_EQ(TextField()->isVisibleTo(dialog_.get()), c.textField);
        EXPECT_EQ(UseProxy()->isVisibleTo(dialog_.get()), c.proxy);
        const QLineEdit* address = c.textField ? TextField() : IpField();
        EXPECT_EQ(address->displayText(), QLatin1String(c.prefill));
    }
}

TEST_F(AddHostDialog, CreationTranslatesTheButtonsAndNothingIsDefault)
{
    EXPECT_EQ(Control<QPushButton>("btnOK")->text(), QStringLiteral("Fine"));
    EXPECT_EQ(UseProxy()->text(), QStringLiteral("Via a proxy"));
    EXPECT_FALSE(UseProxy()->isVisibleTo(dialog_.get()));
    for (const char* name : {"btnOK", "btnCancel"}) {
        EXPECT_FALSE(Control<QPushButton>(name)->autoDefault()) << name;
        EXPECT_FALSE(Control<QPushButton>(name)->isDefault()) << name;
    }
}

TEST_F(AddHostDialog, TabOrderStartsAtCancel)
{
    dialog_->Prepare(HostEntryMode::EditHTTP, "http://x/");
    const char* order[] = {"btnCancel", "btnOK", "MaskEdit1", "edHTTP", "cbProxy"};
    auto* widget = Control<QWidget>(order[0]);
    for (const char* name : order) {
        ASSERT_EQ(widget->objectName(), QLatin1String(name));
        widget = widget->nextInFocusChain();
    }
    dialog_->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
    EXPECT_EQ(QApplication::focusWidget(), Control<QWidget>("btnCancel"));
}

TEST_F(AddHostDialog, EscapeClosesNothingAndEnterPressesOnlyTheFocusedButton)
{
    dialog_->Prepare(HostEntryMode::AddLAN);
    QTimer::singleShot(0, dialog_.get(), [this] {
        TextField()->setFocus();
        QTest::keyClick(TextField(), Qt::Key_Escape);
        QTest::keyClick(TextField(), Qt::Key_Return);
        EXPECT_TRUE(dialog_->isVisible());
        Control<QPushButton>("btnOK")->setFocus();
        QTest::keyClick(Control<QPushButton>("btnOK"), Qt::Key_Return);
    });
    QTimer::singleShot(3000, dialog_.get(), &QDialog::reject); // bounds a failure
    EXPECT_EQ(dialog_->exec(), QDialog::Accepted);
}

TEST_F(AddHostDialog, TypingIntoTheIpFieldFollowsItsPositions)
{
    const struct {
        const char* typed;
        const char* shown;
        const char* result;
    } cases[] = {
        {"10.1.2.3", "10_.1__.2__.3__", "10.1.2.3"},
        {"a", "___.___.___.___", "..."},
        {"", "___.___.___.___", "..."},
        // The fourth digit goes on into the next group.
        {"1234", "123.4__.___.___", "123.4.."},
        // "." at the start of a group skips the whole group.
        {"1..2", "1__.___.2__.___", "1..2."},
        // The last group takes no ".", and nothing goes beyond it.
        {"1.2.3.4.5", "1__.2__.3__.45_", "1.2.3.45"},
        {"1234567890123456", "123.456.789.012", "123.456.789.012"},
        {"9x:9", "99_.___.___.___", "99..."},
    };
    dialog_->Prepare(HostEntryMode::AddIP);
    EnterIpField();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        dialog_->Prepare(HostEntryMode::AddIP);
        IpField()->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(IpField(), QLatin1String(c.typed));
        EXPECT_EQ(IpField()->displayText(), QLatin1String(c.shown));
        EXPECT_EQ(dialog_->ResultText(), c.result);
    }
}

TEST_F(AddHostDialog, DeletingBlanksPositionsWithoutMovingTheRest)
{
    dialog_->Prepare(HostEntryMode::AddIP);
    EnterIpField();
    QTest::keyClicks(IpField(), QStringLiteral("10.1.2.3"));
    IpField()->setCursorPosition(5);
    QTest::keyClick(IpField(), Qt::Key_Backspace);
    EXPECT_EQ(IpField()->displayText(), QStringLiteral("10_.___.2__.3__"));
    IpField()->setCursorPosition(0);
    QTest::keyClick(IpField(), Qt::Key_Delete);
    EXPECT_EQ(IpField()->displayText(), QStringLiteral("_0_.___.2__.3__"));
}

TEST_F(AddHostDialog, EscapePutsBackTheTextTheFieldHadOnEntering)
{
    dialog_->Prepare(HostEntryMode::EditIP, "10.0.0.254");
    EnterIpField();
    QTest::keyClicks(IpField(), QStringLiteral("192"));
    EXPECT_EQ(IpField()->displayText(), QStringLiteral("192.000.000.254"));
    QTest::keyClick(IpField(), Qt::Key_Escape);
    EXPECT_EQ(IpField()->displayText(), QStringLiteral("010.000.000.254"));
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_EQ(dialog_->ResultText(), "010.000.000.254");
}

TEST_F(AddHostDialog, EditIpKeepsATextThatDoesNotFitThePositions)
{
    dialog_->Prepare(HostEntryMode::EditIP, "10.1");
    EXPECT_EQ(IpField()->displayText(), QStringLiteral("010.00000000001"));
    EXPECT_EQ(dialog_->ResultText(), "010.00000000001");
    // The next use of the field has its positions again.
    dialog_->Prepare(HostEntryMode::AddIP);
    EXPECT_EQ(IpField()->displayText(), QStringLiteral("___.___.___.___"));
}

TEST_F(AddHostDialog, TextModesReturnTheAddressAsTypedAndTheLanNameTrimmed)
{
    const struct {
        HostEntryMode mode;
        const char* text;
        const char* result;
    } cases[] = {
        {HostEntryMode::AddLAN, " \t\\\\server  ", "\\\\server"},
        {HostEntryMode::EditLAN, "  server ", "server"},
        {HostEntryMode::AddHTTP, "", ""},
        {HostEntryMode::AddLAN, "", ""},
        {HostEntryMode::EditHTTP, " http://x:81/a b ", " http://x:81/a b "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        dialog_->Prepare(c.mode, "\\\\old");
        TextField()->setText(QLatin1String(c.text));
        EXPECT_EQ(dialog_->ResultText(), c.result);
    }
}

TEST_F(AddHostDialog, EditHttpCarriesTheProxyThroughTheEdit)
{
    const struct {
        std::optional<TProxyRecord> proxy;
        bool checked;
        const char* field;
        std::optional<TProxyRecord> result;
    } cases[] = {
        {TProxyRecord{"10.0.0.1", 3128}, true, "010.000.000.001:03128",
         TProxyRecord{"010.000.000.001", 3128}},
        {TProxyRecord{"proxy.lan", 8080}, true, "proxy.lan:8080", TProxyRecord{"proxy.lan", 8080}},
        {std::nullopt, false, "", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        dialog_->Prepare(HostEntryMode::EditHTTP, "http://x/", c.proxy);
        EXPECT_EQ(UseProxy()->isChecked(), c.checked);
        EXPECT_EQ(IpField()->isEnabled(), c.checked);
        EXPECT_EQ(IpField()->displayText(), QLatin1String(c.field));
        EXPECT_EQ(dialog_->ProxyResult(), c.result);
    }
}

TEST_F(AddHostDialog, TheProxyFieldIsEnabledExactlyWhileTheBoxIsChecked)
{
    dialog_->Prepare(HostEntryMode::EditHTTP, "http://x/", TProxyRecord{"10.0.0.1", 3128});
    UseProxy()->click();
    EXPECT_FALSE(IpField()->isEnabled());
    EXPECT_EQ(dialog_->ProxyResult(), std::nullopt);
    UseProxy()->setChecked(true);
    EXPECT_TRUE(IpField()->isEnabled());
    EXPECT_EQ(dialog_->ProxyResult(), (TProxyRecord{"010.000.000.001", 3128}));
}

TEST_F(AddHostDialog, AddHttpWithTheBoxCheckedGivesTheProxyTyped)
{
    dialog_->Prepare(HostEntryMode::AddHTTP);
    EXPECT_FALSE(UseProxy()->isChecked());
    EXPECT_FALSE(IpField()->isEnabled());
    EXPECT_EQ(dialog_->ProxyResult(), std::nullopt);
    UseProxy()->click();
    IpField()->setText(QStringLiteral("10.0.0.9:80"));
    EXPECT_EQ(dialog_->ProxyResult(), (TProxyRecord{"10.0.0.9", 80}));
    IpField()->setText(QStringLiteral("10.0.0.9"));
    EXPECT_EQ(dialog_->ProxyResult(), (TProxyRecord{"", 10009}));
    IpField()->setText(QStringLiteral("10.0.0.9:"));
    EXPECT_THROW(dialog_->ProxyResult(), InvalidIntegerError);
}

// The IP modes take an IPv6 address from a text field of its own below the
// IPv4 field, which stays as it is for IPv4 addresses.
TEST_F(AddHostDialog, IpModesTakeAnIpv6AddressFromItsOwnField)
{
    for (const HostEntryMode mode : {HostEntryMode::AddHTTP, HostEntryMode::AddLAN}) {
        dialog_->Prepare(mode);
        EXPECT_FALSE(Ipv6Field()->isVisibleTo(dialog_.get()));
    }
    const struct {
        HostEntryMode mode;
        const char* line;
        const char* ipv4Shown;
        const char* ipv6Shown;
        const char* typedIpv6;
        const char* result;
    } cases[] = {
        {HostEntryMode::AddIP, "", "___.___.___.___", "", " 2001:db8::7 ", "2001:db8::7"},
        {HostEntryMode::EditIP, "2001:db8::7", "___.___.___.___", "2001:db8::7", nullptr,
         "2001:db8::7"},
        {HostEntryMode::EditIP, "192.168.1.1", "192.168.001.001", "", nullptr, "192.168.001.001"},
        // Blanks alone in the IPv6 field leave the IPv4 address in charge.
        {HostEntryMode::EditIP, "10.0.0.1", "010.000.000.001", "", "  ", "010.000.000.001"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        dialog_->Prepare(c.mode, c.line);
        EXPECT_TRUE(Ipv6Field()->isVisibleTo(dialog_.get()));
        EXPECT_EQ(IpField()->displayText(), QLatin1String(c.ipv4Shown));
        EXPECT_EQ(Ipv6Field()->text(), QLatin1String(c.ipv6Shown));
        if (c.typedIpv6 != nullptr) {
            Ipv6Field()->setText(QLatin1String(c.typedIpv6));
        }
        EXPECT_EQ(dialog_->ResultText(), c.result);
    }
}

// OK refuses a malformed IPv6 address or an unusable port with a message and
// leaves the dialog open; anything else it takes as before.
TEST_F(AddHostDialog, OkRefusesMalformedIpv6AddressesAndPorts)
{
    const struct {
        HostEntryMode mode;
        const char* text;
        const char* message; // nullptr: taken
    } cases[] = {
        {HostEntryMode::AddIP, "::g", "Invalid IPv6 address \"::g\""},
        {HostEntryMode::AddIP, "[::1", R"(Missing "]" in "[::1")"},
        {HostEntryMode::AddIP, "fe80::1%eth0", "Zone index not allowed in \"fe80::1%eth0\""},
        {HostEntryMode::AddIP, "printer", "Invalid IPv6 address \"printer\""},
        {HostEntryMode::AddIP, "2001:db8::7", nullptr},
        {HostEntryMode::AddIP, "", nullptr},
        {HostEntryMode::AddHTTP, "http://[::1]:65536/", "Invalid port \"65536\""},
        {HostEntryMode::AddHTTP, "https://[::1/", R"(Missing "]" in "[::1")"},
        {HostEntryMode::AddHTTP, "https://[2001:db8::7]:8443/", nullptr},
        {HostEntryMode::AddHTTP, "http://", nullptr},
        {HostEntryMode::AddLAN, "\\\\[::1", nullptr},
    };
    dialog_->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        dialog_->Prepare(c.mode);
        (c.mode == HostEntryMode::AddIP ? Ipv6Field() : TextField())
            ->setText(QLatin1String(c.text));
        dialog_->setResult(QDialog::Rejected);
        QString shown;
        if (c.message != nullptr) {
            test::WhenModalOpens([&shown](QWidget& window) {
                auto* box = qobject_cast<QMessageBox*>(&window);
                ASSERT_NE(box, nullptr);
                shown = box->text();
                box->close();
            });
        }
        Control<QPushButton>("btnOK")->click();
        EXPECT_EQ(shown, QLatin1String(c.message != nullptr ? c.message : ""));
        EXPECT_EQ(dialog_->result(), c.message != nullptr ? QDialog::Rejected : QDialog::Accepted);
        dialog_->show();
    }
}

} // namespace
} // namespace pelmora
