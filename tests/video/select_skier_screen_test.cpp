#include "video/select_skier_screen.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>

#include "app/app.h"
#include "app/main_screen.h"
#include "measure/measure_screen.h"
#include "tests/support/test_app.h"

namespace rs {
namespace {

using test::PromptKind;
using test::slurp;
using test::spit;
using test::TestApp;

QPushButton* cmdImport(App& app) {
    auto* b = app.main_form().findChild<QPushButton*>("cmdImport");
    EXPECT_TRUE(b && b->isEnabled());
    return b;
}

TEST(SkierNamesImport, ImportButtonMakesTheListAndTheLastLineTheCaptureName) {
    TestApp t;
    App& app = t.started();
    app.shared().capture.skier_name = "Doe";
    app.shared().capture.pass = "3";
    const std::string source = t.tmp.file("club.txt");
    spit(source, "O'Brien, Sean\r\nSmith\tJohn\r\n");
    t.dialogs.clear();
    t.dialogs.file(source);
    cmdImport(app)->click();

    ASSERT_EQ(t.dialogs.prompts().size(), 1u);
    const auto& p = t.dialogs.prompts()[0];
    EXPECT_EQ(p.kind, PromptKind::OpenFile);
    EXPECT_EQ(p.file.initial_folder, t.app_folder);
    EXPECT_EQ(p.file.filter, "");
    EXPECT_EQ(slurp(t.app_folder + "/SkierNames.txt"), "OBrien Sean\r\nSmith John\r\n");
    EXPECT_EQ(slurp(t.app_folder + "/TempSkierNames.txt"), "O'Brien, Sean\r\nSmith\tJohn\r\n");
    // The name changed, so the pass starts again at 1.
    EXPECT_EQ(app.shared().capture.skier_name, "Smith John");
    EXPECT_EQ(app.shared().capture.pass, "1");
}

TEST(SkierNamesImport, CancelledOrFailedImportLeavesTheListAndTheName) {
    TestApp t;
    App& app = t.started();
    spit(t.app_folder + "/SkierNames.txt", "Old\r\n");
    app.shared().capture.skier_name = "Doe";
    t.dialogs.clear();
    t.dialogs.cancel_file();
    cmdImport(app)->click();
    EXPECT_EQ(t.dialogs.prompts().size(), 1u);

    // A file that is not a regular file is refused at once, with its name.
    t.dialogs.clear();
    t.dialogs.file(t.tmp.make_dir("a folder"));
    cmdImport(app)->click();
    ASSERT_EQ(t.dialogs.messages().size(), 1u);
    EXPECT_NE(t.dialogs.messages()[0].find("a folder"), std::string::npos);
    EXPECT_EQ(t.dialogs.last().icon, MsgIcon::Exclamation);

    // A disk that fills while the list is written.
    const std::string source = t.tmp.file("club.txt");
    spit(source, "New\r\n");
    t.files.fail_after_bytes(2);
    t.dialogs.file(source);
    cmdImport(app)->click();
    EXPECT_EQ(t.dialogs.messages().size(), 2u);
    EXPECT_NE(t.debug_log().find("Skier names not imported"), std::string::npos);

    EXPECT_EQ(slurp(t.app_folder + "/SkierNames.txt"), "Old\r\n");
    EXPECT_EQ(app.shared().capture.skier_name, "Doe");
}

TEST(SkierList, MissingListIsToldAndNoListShown) {
    TestApp t;
    App& app = t.make();
    bool named = false;
    EXPECT_EQ(open_skier_list(app, nullptr, true, [&](const std::string&) { named = true; }),
              nullptr);
    ASSERT_EQ(t.dialogs.messages().size(), 1u);
    EXPECT_EQ(t.dialogs.last().text,
              "No file of skier names called SkierNames.txt exists in the application directory");
    EXPECT_EQ(t.dialogs.last().icon, MsgIcon::None);
    EXPECT_EQ(t.dialogs.last().title, kProgramTitle);
    EXPECT_FALSE(named);
}

TEST(SkierList, DoubleClickNamesTheSkierAndClosesTheList) {
    TestApp t;
    App& app = t.make();
    spit(t.app_folder + "/SkierNames.txt", "Smith,John\r\nO'Brien\tSean\r\n\r\nDoe\r\n");
    std::vector<std::string> names;
    QPointer<frmSelectSkier> list =
        open_skier_list(app, nullptr, false, [&](const std::string& n) { names.push_back(n); });
    ASSERT_TRUE(list);
    EXPECT_TRUE(list->isVisible());
    EXPECT_TRUE(list->isModal());
    EXPECT_EQ(list->windowTitle(), "Select A Skier");
    EXPECT_EQ(list->Label1->text(), "Double Click on Skier Name to select it");
    ASSERT_EQ(list->lstSkiers->count(), 4);
    EXPECT_EQ(list->lstSkiers->item(0)->text(), "SmithJohn");
    EXPECT_EQ(list->lstSkiers->item(1)->text(), "OBrien Sean");
    EXPECT_EQ(list->lstSkiers->item(2)->text(), "");

    // A double click on the second line (its press makes it current, then
    // the list reports the double click and the activation).
    list->lstSkiers->setCurrentRow(1);
    emit list->lstSkiers->itemDoubleClicked(list->lstSkiers->item(1));
    emit list->lstSkiers->itemActivated(list->lstSkiers->item(1));
    EXPECT_EQ(names, std::vector<std::string>{"OBrien Sean"});
    EXPECT_FALSE(list && list->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(list);  // gone: the next opening reads the file again
    EXPECT_TRUE(t.dialogs.prompts().empty());
}

TEST(SkierList, NoSelectionLeavesTheName) {
    TestApp t;
    App& app = t.make();
    spit(t.app_folder + "/SkierNames.txt", "Doe\r\n");
    bool named = false;
    frmSelectSkier* list =
        open_skier_list(app, nullptr, true, [&](const std::string&) { named = true; });
    ASSERT_TRUE(list);
    EXPECT_EQ(list->cmdNoSelect->text(), "No Selection");
    list->cmdNoSelect->click();
    EXPECT_FALSE(list->isVisible());
    EXPECT_FALSE(named);
}

TEST(ScoringProgramName, SelectWithTheInterfaceOnTakesTheFirstFieldOfRsskier) {
    TestApp t;
    App& app = t.make();
    app.configuration().wstims = true;
    // The list exists, but the select button goes to the scoring program.
    spit(t.app_folder + "/SkierNames.txt", "Doe\r\n");
    spit(t.exchange_folder + "/rsskier.nam", "Smith, John\r\n");
    std::string name;
    EXPECT_EQ(open_skier_list(app, nullptr, true, [&](const std::string& n) { name = n; }),
              nullptr);
    EXPECT_EQ(name, "Smith");
    EXPECT_EQ(app.measure().Skier_name->currentText(), "Smith");
    EXPECT_EQ(app.measure().form().Skier_name, "Smith");

    // A double click in the name field still opens the list.
    QPointer<frmSelectSkier> list = open_skier_list(app, nullptr, false, nullptr);
    EXPECT_TRUE(list);
    if (list)
        list->close();
}

TEST(ScoringProgramName, GetNameReadsNoCommaWholeAndAMissingFileChangesNothing) {
    TestApp t;
    App& app = t.make();
    std::string name = "Doe";
    auto sink = [&](const std::string& n) { name = n; };
    spit(t.exchange_folder + "/rsskier.nam", "Smith John\r\n");
    EXPECT_TRUE(take_scoring_program_name(app, sink));
    EXPECT_EQ(name, "Smith John");
    EXPECT_EQ(app.measure().Skier_name->currentText(), "Smith John");

    std::remove((t.exchange_folder + "/rsskier.nam").c_str());
    EXPECT_FALSE(take_scoring_program_name(app, sink));
    EXPECT_EQ(name, "Smith John");
    EXPECT_EQ(app.measure().Skier_name->currentText(), "Smith John");
    EXPECT_NE(t.debug_log().find("WSTIMS name not read"), std::string::npos);
    EXPECT_TRUE(t.dialogs.prompts().empty());
}

TEST(ScoringProgramName, CaptureNameSetterResetsThePassOnlyWhenTheNameChanges) {
    TestApp t;
    App& app = t.make();
    app.shared().capture.skier_name = "Smith";
    app.shared().capture.pass = "3";
    set_capture_skier_name(app, "Smith");
    EXPECT_EQ(app.shared().capture.pass, "3");
    set_capture_skier_name(app, "Doe");
    EXPECT_EQ(app.shared().capture.skier_name, "Doe");
    EXPECT_EQ(app.shared().capture.pass, "1");
}

}  // namespace
}  // namespace rs
