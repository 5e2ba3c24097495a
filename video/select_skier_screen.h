#pragma once
// frmSelectSkier: the skier list, shown modally over the capture screen. A
// double click on a line makes it the capture screen's skier name. Also the
// capture screen's two ways to a name that is not typed: the list and the
// scoring program's "rsskier.nam".

#include <QDialog>
#include <functional>
#include <string>

class QLabel;
class QListWidget;
class QPushButton;
class QWidget;

namespace rs {

class App;

// Receives a name for the capture screen's name field.
using SkierNameSink = std::function<void(const std::string&)>;

class frmSelectSkier final : public QDialog {
    Q_OBJECT
  public:
    frmSelectSkier(App& app, QWidget* parent, SkierNameSink chosen);

    void Form_Load();
    void lstSkiers_DblClick();
    void cmdNoSelect_Click();

    QLabel* Label1 = nullptr;
    QListWidget* lstSkiers = nullptr;
    QPushButton* cmdNoSelect = nullptr;

  private:
    App& app_;
    SkierNameSink chosen_;
};

// The capture screen's name field: its txtSkierName, which the capture
// screen keeps in the shared capture values; a new name sets the pass
// number back to 1.
void set_capture_skier_name(App& app, const std::string& name);

// Opening the list from the capture screen (its "Select Name" button when
// from_select_button, else a double click in its name field). With the
// scoring program's interface on, the select button takes the scoring
// program's name instead. Without "SkierNames.txt" the operator is told so.
// Returns the list screen shown over the given window (it deletes itself
// when closed), or nullptr.
frmSelectSkier* open_skier_list(App& app, QWidget* over, bool from_select_button,
                                SkierNameSink set_name);

// "Get WSTIMS name": the first field of "rsskier.nam" becomes the
// measurement screen's skier name and goes to set_name. A missing or
// unreadable file changes nothing (the debug log says why); false then.
bool take_scoring_program_name(App& app, const SkierNameSink& set_name);

}  // namespace rs
