#include "gui/i18n/form_translation.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/base/app_paths.h"
#include "core/i18n/languages.h"
#include "gui/i18n/property_registry.h"
#include "support/temp_dir.h"

namespace pelmora {
namespace {

using namespace Qt::StringLiterals;
using test::TempDir;
using test::WriteFile;

// One component of each kind, as a window builds them.
struct TestWindow {
    explicit TestWindow(const QString& name = u"frmTest"_s)
    {
        window.setObjectName(name);
        window.setWindowTitle(u"Test"_s);
        btnPush = Named(new QPushButton(u"Push"_s, &window), "btnPush");
        btnPush->setGeometry(8, 8, 75, 25);
        btnOK = Named(new QPushButton(u"OK"_s, &window), "btnOK");
        MarkAsSkinnedButton(*btnOK);
        sbTool = Named(new QToolButton(&window), "sbTool");
        sbTool->setText(u"Tool"_s);
        cbCheck = Named(new QCheckBox(u"Check"_s, &window), "cbCheck");
        lbLabel = Named(new QLabel(u"Label"_s, &window), "lbLabel");
        gbGroup = Named(new QGroupBox(u"Group"_s, &window), "gbGroup");
        edEdit = Named(new QLineEdit(u"edit"_s, gbGroup), "edEdit");
        seSpin = Named(new QSpinBox(&window), "seSpin");
        seSpin->setValue(7);
        memMemo = Named(new QPlainTextEdit(u"memo"_s, &window), "memMemo");
        lbList = Named(new QListWidget(&window), "lbList");
        lbList->addItems({u"Host list"_s, u"Check parametrs"_s, u"View"_s, u"Languages"_s});
        cbCombo = Named(new QComboBox(&window), "cbCombo");
        cbCombo->addItems({u"English"_s, u"Deutsch"_s});
        Panel1 = Named(new QFrame(&window), "Panel1");
        pmMenu = Named(new QMenu(&window), "pmMenu");
        miItem = Named(pmMenu->addAction(u"Item"_s), "miItem");
        miSub = Named(pmMenu->addMenu(u"Sub"_s), "miSub");
        miSub->menuAction()->setObjectName(u"miSub"_s);
        // Added at run time like the host entries: no name.
        hostItem = miSub->addAction(u"host1"_s);
        trayIcon = Named(new QSystemTrayIcon(&window), "trayIcon");
        trayIcon->setToolTip(u"built-in tip"_s);
        frmInner = Named(new QDialog(&window), "frmInner");
        btnInner = Named(new QPushButton(u"Inner"_s, frmInner), "btnInner");
    }

    template <typename T> static T* Named(T* object, const char* name)
    {
        object->setObjectName(QLatin1String(name));
        return object;
    }

    QWidget window;
    QPushButton* btnPush;
    QPushButton* btnOK;
    QToolButton* sbTool;
    QCheckBox* cbCheck;
    QLabel* lbLabel;
    QGroupBox* gbGroup;
    QLineEdit* edEdit;
    QSpinBox* seSpin;
    QPlainTextEdit* memMemo;
    QListWidget* lbList;
    QComboBox* cbCombo;
    QFrame* Panel1;
    QMenu* pmMenu;
    QAction* miItem;
    QMenu* miSub;
    QAction* hostItem;
    QSystemTrayIcon* trayIcon;
    QDialog* frmInner;
    QPushButton* btnInner;
};

QString ListItems(const QListWidget& list)
{
    QStringList items;
    for (int row = 0; row < list.count(); ++row) {
        items.append(list.item(row)->text());
    }
    return items.join(u'|');
}

QString ComboItems(const QComboBox& combo)
{
    QStringList items;
    for (int index = 0; index < combo.count(); ++index) {
        items.append(combo.itemText(index));
    }
    return items.join(u'|');
}

QString Shown(const QWidget& widget)
{
    return widget.isHidden() ? u"hidden"_s : u"shown"_s;
}

struct Case {
    std::string_view key;
    std::string_view value;
    bool applied;
    QString (*read)(const TestWindow&);
    QString expected;
};

void RunCases(std::initializer_list<Case> cases)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + std::string(c.value));
        TestWindow w;
        EXPECT_EQ(ApplyTranslation(w.window, c.key, c.value), c.applied);
        EXPECT_EQ(c.read(w), c.expected);
    }
}

TEST(FormTranslation, ABareNameSetsTheImpliedPropertyOfItsKind)
{
    RunCases({
        {"btnPush", "Go", true, [](const TestWindow& w) { return w.btnPush->text(); }, u"Go"_s},
        {"sbTool", "Go", true, [](const TestWindow& w) { return w.sbTool->text(); }, u"Go"_s},
        {"cbCheck", "Go", true, [](const TestWindow& w) { return w.cbCheck->text(); }, u"Go"_s},
        {"lbLabel", "Go", true, [](const TestWindow& w) { return w.lbLabel->text(); }, u"Go"_s},
        {"gbGroup", "Go", true, [](const TestWindow& w) { return w.gbGroup->title(); }, u"Go"_s},
        {"edEdit", "Go", true, [](const TestWindow& w) { return w.edEdit->text(); }, u"Go"_s},
        {"miItem", "Go", true, [](const TestWindow& w) { return w.miItem->text(); }, u"Go"_s},
        {"miSub", "Go", true, [](const TestWindow& w) { return w.miSub->title(); }, u"Go"_s},
        {"btnPush", "Überprüfen", true, [](const TestWindow& w) { return w.btnPush->text(); },
         u"Überprüfen"_s},
        {"btnPush", "", true, [](const TestWindow& w) { return w.btnPush->text(); }, u""_s},
        // No component of the name: the window's own property.
        {"Caption", "Title", true, [](const TestWindow& w) { return w.window.windowTitle(); },
         u"Title"_s},
        {"CAPTION", "Title", true, [](const TestWindow& w) { return w.window.windowTitle(); },
         u"Title"_s},
        // Kinds without an implied property, and spin fields and memos,
        // which publish no Text.
        {"btnOK", "Nope", false, [](const TestWindow& w) { return w.btnOK->text(); }, u"OK"_s},
        {"seSpin", "5", false,
         [](const TestWindow& w) { return QString::number(w.seSpin->value()); }, u"7"_s},
        {"memMemo", "Go", false, [](const TestWindow& w) { return w.memMemo->toPlainText(); },
         u"memo"_s},
        {"lbList", "a,b", false, [](const TestWindow& w) { return ListItems(*w.lbList); },
         u"Host list|Check parametrs|View|Languages"_s},
        {"cbCombo", "a", false, [](const TestWindow& w) { return ComboItems(*w.cbCombo); },
         u"English|Deutsch"_s},
        {"trayIcon", "tip", false, [](const TestWindow& w) { return w.trayIcon->toolTip(); },
         u"built-in tip"_s},
        {"pmMenu", "x", false, [](const TestWindow& w) { return w.pmMenu->title(); }, u""_s},
        {"Panel1", "x", false, [](const TestWindow& w) { return w.window.windowTitle(); },
         u"Test"_s},
        // Neither a component nor a property of the window.
        {"Nonesuch", "x", false, [](const TestWindow& w) { return w.window.windowTitle(); },
         u"Test"_s},
        // Items added at run time and components of another window are not
        // this window's components.
        {"host1", "x", false, [](const TestWindow& w) { return w.hostItem->text(); }, u"host1"_s},
        {"btnInner", "x", false, [](const TestWindow& w) { return w.btnInner->text(); },
         u"Inner"_s},
        {"frmInner", "x", false, [](const TestWindow& w) { return w.frmInner->windowTitle(); },
         u""_s},
    });
}

TEST(FormTranslation, NamedPropertiesTakeTheirValuesByKind)
{
    RunCases({
        // Text, names in any case.
        {"btnOK.Caption", "Close", true, [](const TestWindow& w) { return w.btnOK->text(); },
         u"Close"_s},
        {"BTNPUSH.CAPTION", "Go", true, [](const TestWindow& w) { return w.btnPush->text(); },
         u"Go"_s},
        {"btnpush.hint", "Tip", true, [](const TestWindow& w) { return w.btnPush->toolTip(); },
         u"Tip"_s},
        {"Panel1.Hint", "Tip", true, [](const TestWindow& w) { return w.Panel1->toolTip(); },
         u"Tip"_s},
        {"miItem.Hint", "Tip", true, [](const TestWindow& w) { return w.miItem->toolTip(); },
         u"Tip"_s},
        {"seSpin.Text", "5", false,
         [](const TestWindow& w) { return QString::number(w.seSpin->value()); }, u"7"_s},
        {"memMemo.Text", "x", false, [](const TestWindow& w) { return w.memMemo->toPlainText(); },
         u"memo"_s},
        {"btnPush.Font", "Arial", false, [](const TestWindow& w) { return w.btnPush->text(); },
         u"Push"_s},
        {"Nonesuch.Caption", "x", false, [](const TestWindow& w) { return w.btnPush->text(); },
         u"Push"_s},
        {"pmMenu.Visible", "1", false, [](const TestWindow& w) { return Shown(*w.pmMenu); },
         u"hidden"_s},
        // The tray icon's tip: at most 127 characters, none when empty.
        {"trayIcon.Hint", "Monitor", true,
         [](const TestWindow& w) { return w.trayIcon->toolTip(); }, u"Monitor"_s},
        {"trayIcon.Hint", "", true, [](const TestWindow& w) { return w.trayIcon->toolTip(); },
         u""_s},
        {"trayIcon.Hint", std::string(200, 'x'), true,
         [](const TestWindow& w) { return w.trayIcon->toolTip(); }, QString(127, u'x')},
        // Yes/no as ordinals: 0 or 1, nothing else.
        {"btnPush.Visible", "0", true, [](const TestWindow& w) { return Shown(*w.btnPush); },
         u"hidden"_s},
        {"btnPush.Visible", "2", false, [](const TestWindow& w) { return Shown(*w.btnPush); },
         u"shown"_s},
        {"btnPush.Visible", "False", false, [](const TestWindow& w) { return Shown(*w.btnPush); },
         u"shown"_s},
        {"miItem.Visible", "0", true,
         [](const TestWindow& w) { return w.miItem->isVisible() ? u"shown"_s : u"hidden"_s; },
         u"hidden"_s},
        {"btnPush.Enabled", "0", true,
         [](const TestWindow& w) { return w.btnPush->isEnabled() ? u"on"_s : u"off"_s; }, u"off"_s},
        // Another enumeration: left, right, centre.
        {"lbLabel.Alignment", "2", true,
         [](const TestWindow& w) {
             return QString::number((w.lbLabel->alignment() & Qt::AlignHorizontal_Mask).toInt());
         },
         QString::number(Qt::AlignHCenter)},
        {"lbLabel.Alignment", "3", false,
         [](const TestWindow& w) {
             return QString::number((w.lbLabel->alignment() & Qt::AlignHorizontal_Mask).toInt());
         },
         QString::number(Qt::AlignLeft)},
        // Whole numbers in profile notation.
        {"btnPush.Left", "$40", true,
         [](const TestWindow& w) { return QString::number(w.btnPush->x()); }, u"64"_s},
        {"btnPush.Top", "-7", true,
         [](const TestWindow& w) { return QString::number(w.btnPush->y()); }, u"-7"_s},
        {"btnPush.Width", "0x20", true,
         [](const TestWindow& w) { return QString::number(w.btnPush->width()); }, u"32"_s},
        {"btnPush.Height", "abc", false,
         [](const TestWindow& w) { return QString::number(w.btnPush->height()); }, u"25"_s},
        {"btnPush.Width", "-5", false,
         [](const TestWindow& w) { return QString::number(w.btnPush->width()); }, u"75"_s},
        // A single character: the first of the value.
        {"edEdit.PasswordChar", "*x", true,
         [](const TestWindow& w) {
             if (w.edEdit->echoMode() != QLineEdit::Password) {
                 return u"normal"_s;
             }
             return QString(QChar(w.edEdit->style()->styleHint(
                 QStyle::SH_LineEdit_PasswordCharacter, nullptr, w.edEdit)));
         },
         u"*"_s},
        {"edEdit.PasswordChar", "", false,
         [](const TestWindow& w) {
             return w.edEdit->echoMode() == QLineEdit::Password ? u"password"_s : u"normal"_s;
         },
         u"normal"_s},
        // Floating point in the locale's format (here the C locale).
        {"Opacity", "0.5", true,
         [](const TestWindow& w) { return QString::number(w.window.windowOpacity(), 'f', 1); },
         u"0.5"_s},
        {"Opacity", "half", false,
         [](const TestWindow& w) { return QString::number(w.window.windowOpacity(), 'f', 1); },
         u"1.0"_s},
        {"Opacity", "1.5", false,
         [](const TestWindow& w) { return QString::number(w.window.windowOpacity(), 'f', 1); },
         u"1.0"_s},
        // Whole string lists as comma text.
        {"lbList.Items", "Host list,View", true,
         [](const TestWindow& w) { return ListItems(*w.lbList); }, u"Host|list|View"_s},
        {"cbCombo.Items", "\"Deutsch (Schweiz)\",English,", true,
         [](const TestWindow& w) { return ComboItems(*w.cbCombo); },
         u"Deutsch (Schweiz)|English|"_s},
    });
}

TEST(FormTranslation, IndexedKeysSetOneStringOfAList)
{
    RunCases({
        // The short form drops one leading "." so that an item can begin with
        // a blank; the long form stores the value as read.
        {"lbList(2)", ". View", true, [](const TestWindow& w) { return ListItems(*w.lbList); },
         u"Host list|Check parametrs| View|Languages"_s},
        {"lbList.Items(2)", ". View", true,
         [](const TestWindow& w) { return ListItems(*w.lbList); },
         u"Host list|Check parametrs|. View|Languages"_s},
        {"LBLIST( $1)", "Check parameters", true,
         [](const TestWindow& w) { return ListItems(*w.lbList); },
         u"Host list|Check parameters|View|Languages"_s},
        {"lbList(3)", "..", true, [](const TestWindow& w) { return ListItems(*w.lbList); },
         u"Host list|Check parametrs|View|."_s},
        {"cbCombo(1)", "Deutsch (Deutschland)", true,
         [](const TestWindow& w) { return ComboItems(*w.cbCombo); },
         u"English|Deutsch (Deutschland)"_s},
        {"lbList(7)", "x", false, [](const TestWindow& w) { return ListItems(*w.lbList); },
         u"Host list|Check parametrs|View|Languages"_s},
        {"lbList(-1)", "x", false, [](const TestWindow& w) { return ListItems(*w.lbList); },
         u"Host list|Check parametrs|View|Languages"_s},
        {"lbList(x)", "x", false, [](const TestWindow& w) { return ListItems(*w.lbList); },
         u"Host list|Check parametrs|View|Languages"_s},
        // Only string lists take an index.
        {"btnPush(0)", "x", false, [](const TestWindow& w) { return w.btnPush->text(); },
         u"Push"_s},
        {"edEdit.Text(0)", "x", false, [](const TestWindow& w) { return w.edEdit->text(); },
         u"edit"_s},
    });
}

TEST(FormTranslation, FloatingPointFollowsTheLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    TestWindow w;
    EXPECT_TRUE(ApplyTranslation(w.window, "Opacity", "0,25"));
    QLocale::setDefault(saved);
    EXPECT_NEAR(w.window.windowOpacity(), 0.25, 0.01);
}

class TranslateForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetExecutableDirForTesting(dir_.Path());
        std::filesystem::create_directory(dir_ / "Languages");
        SetCurrentLanguage("Test");
    }
    void TearDown() override
    {
        SetExecutableDirForTesting({});
        SetCurrentLanguage({});
    }
    void WriteLanguage(const std::string& name, const std::string& text)
    {
        WriteFile(dir_ / "Languages" / (name + ".lng"), text);
    }

    TempDir dir_;
};

TEST_F(TranslateForm, AppliesEntriesInFileOrderAndSkipsWhatCannotBeApplied)
{
    WriteLanguage("Test", "[Other]\n"
                          "btnPush=wrong section\n"
                          "[FRMTEST]\n"
                          "lbList(7)=x\n"
                          "lbList(x)=y\n"
                          "btnPush.Font.Name=Arial\n"
                          "lbList(1)=. View\n"
                          "btnPush=First\n"
                          "btnPush.Caption=Second\n"
                          "lbLabel=One\n"
                          "lbLabel=Two\n"
                          "edEdit.Text=  \"quoted\"  \n"
                          "[frmTest]\n"
                          "cbCheck=second section of the name\n");
    TestWindow w;
    pelmora::TranslateForm(&w.window);
    EXPECT_EQ(ListItems(*w.lbList), u"Host list| View|View|Languages"_s);
    EXPECT_EQ(w.btnPush->text(), u"Second"_s);
    EXPECT_EQ(w.lbLabel->text(), u"One"_s); // the first key of a name counts
    EXPECT_EQ(w.edEdit->text(), u"quoted"_s);
    EXPECT_EQ(w.cbCheck->text(), u"Check"_s);

    pelmora::TranslateForm(nullptr);
}

TEST_F(TranslateForm, NoFileOrSectionLeavesTheWindowAsBuilt)
{
    TestWindow w;
    pelmora::TranslateForm(&w.window);
    WriteLanguage("Test", "[frmOther]\nbtnPush=x\n");
    pelmora::TranslateForm(&w.window);
    EXPECT_EQ(w.btnPush->text(), u"Push"_s);
    EXPECT_EQ(w.window.windowTitle(), u"Test"_s);
}

TEST_F(TranslateForm, CopiesUpToNinetyNineShareTheFirstCopysSection)
{
    WriteLanguage("Test", "[frmAddHost]\n"
                          "cbCheck=Use proxy\n"
                          "Caption=Ignored title\n"
                          "[frmAddHost_100]\n"
                          "cbCheck=Hundredth\n");
    TestWindow first(u"frmAddHost_1"_s);
    TestWindow ninetyNinth(u"frmAddHost_99"_s);
    TestWindow hundredth(u"frmAddHost_100"_s);
    for (TestWindow* w : {&first, &ninetyNinth, &hundredth}) {
        pelmora::TranslateForm(&w->window);
    }
    EXPECT_EQ(first.cbCheck->text(), u"Use proxy"_s);
    EXPECT_EQ(ninetyNinth.cbCheck->text(), u"Use proxy"_s);
    EXPECT_EQ(hundredth.cbCheck->text(), u"Hundredth"_s);

    // The host entry dialog translates itself, then takes its title from the
    // messages: a Caption key of its section shows nowhere.
    WriteLanguage("Test", "[Messages]\nNewIP=Add IP host\n[frmAddHost]\nCaption=Ignored title\n");
    TestWindow dialog(u"frmAddHost"_s);
    pelmora::TranslateForm(&dialog.window);
    EXPECT_EQ(dialog.window.windowTitle(), u"Ignored title"_s);
    dialog.window.setWindowTitle(QString::fromStdString(MessageText("NewIP")));
    EXPECT_EQ(dialog.window.windowTitle(), u"Add IP host"_s);
}

TEST_F(TranslateForm, AChangeOfLanguageOnlySetsWhatTheNewFileNames)
{
    WriteLanguage("One", "[frmTest]\ngbGroup=Ansicht\nbtnPush=Eins\n");
    WriteLanguage("Two", "[frmTest]\nbtnPush=Zwei\n");
    TestWindow open;
    SetCurrentLanguage("One");
    pelmora::TranslateForm(&open.window);
    SetCurrentLanguage("Two");
    pelmora::TranslateForm(&open.window);
    EXPECT_EQ(open.gbGroup->title(), u"Ansicht"_s);
    EXPECT_EQ(open.btnPush->text(), u"Zwei"_s);

    TestWindow later;
    pelmora::TranslateForm(&later.window);
    EXPECT_EQ(later.gbGroup->title(), u"Group"_s);
    EXPECT_EQ(later.btnPush->text(), u"Zwei"_s);
}

TEST_F(TranslateForm, AllFormsAreTheNamedWindowsWithoutAParent)
{
    WriteLanguage("Deutsch", "[frmTest]\nbtnPush=Los\n[frmOwned]\nbtnPush=Los\n");
    WriteFile(dir_ / "Pelmora.ini", "[General]\nLanguage=Deutsch\n");
    TestWindow named;
    TestWindow unnamed(QString{});
    TestWindow owned(u"frmOwned"_s);
    owned.window.setParent(&named.window, Qt::Dialog);

    LoadLanguageNameAndRetranslate();
    EXPECT_EQ(CurrentLanguage(), "Deutsch");
    EXPECT_EQ(named.btnPush->text(), u"Los"_s);
    EXPECT_EQ(unnamed.btnPush->text(), u"Push"_s);
    EXPECT_EQ(owned.btnPush->text(), u"Push"_s);
}

} // namespace
} // namespace pelmora
