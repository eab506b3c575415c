#pragma once
// The feature-control editor: the browser control's per-executable feature switches of the
// current user, shown by tab, set, cleared or reset, and written back on OK.

#include "app/features/FeatureDefinitions.h"

#include <QDialog>

#include <vector>

class QPushButton;
class QTabWidget;

namespace vyn {

class TfrmInternetFeatureControls : public QDialog {
  Q_OBJECT
public:
  explicit TfrmInternetFeatureControls(QWidget* parent = nullptr);

  // An editing control: a tri-state QCheckBox ("chk" + key), the QComboBox of the list
  // ("cbx" + key) or the QLineEdit of a number ("edt" + key).
  struct TFeatureEditor {
    const TFeatureDefinition* Definition;
    QWidget* Control;
  };

  QTabWidget* PageControl;
  QWidget* Panel1;
  QPushButton* bbtHelp;
  QPushButton* bbtReset;
  QPushButton* bbtOk;
  QPushButton* bbtCancel;

  std::vector<TFeatureEditor> FEditors;  // every editing control, in dialog order
  QString FExecutable;                   // the value name: this program's file name

  void StoreExecutableName();
  void LoadFeatures();
  void CompleteDefaults();
  void ApplyFeatures();
  void bbtResetClick();
  void bbtHelpClick();

private:
  QWidget* BuildPurposePage();
  QWidget* BuildFeaturePage(int tab);
  QWidget* BuildEditor(const TFeatureDefinition& definition, QWidget* page);
  void LinkBoxesSharingAKey();
};

// Runs the editor modally, centred on the active or main window; writes the switches when
// accepted. A stored value of the wrong type raises before the editor opens; a number that is
// not an integer raises from the apply, after the controls before it were written.
void ShowInternetFeatureControls();

}  // namespace vyn
