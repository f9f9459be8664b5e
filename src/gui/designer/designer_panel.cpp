#include "gui/designer/designer_panel.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <algorithm>
#include <functional>

#include "documents/chord_book.h"
#include "gui/common/app_state.h"
#include "gui/common/notifier.h"
#include "gui/common/screen_text.h"
#include "gui/designer/fretboard_view.h"
#include "models/document_session.h"
#include "sound/midi_device.h"

namespace fretlets {

// The top fret's number with arrows that move the diagram down the neck:
// the down arrow (and the Down key) raises the number. A change counts once
// the user lets go of an arrow, however long it was held.
class TopFretSpinBox : public QSpinBox {
 public:
  explicit TopFretSpinBox(QWidget* parent) : QSpinBox(parent) {
    lineEdit()->setReadOnly(true);
    setAlignment(Qt::AlignCenter);
  }

  std::function<void()> settled;

  void stepBy(int steps) override {
    QSpinBox::stepBy(-steps);
    if (!mouseDown_ && settled) {
      settled();
    }
  }

 protected:
  StepEnabled stepEnabled() const override {
    StepEnabled enabled = StepNone;
    if (value() > minimum()) {
      enabled |= StepUpEnabled;
    }
    if (value() < maximum()) {
      enabled |= StepDownEnabled;
    }
    return enabled;
  }
  void mousePressEvent(QMouseEvent* event) override {
    mouseDown_ = true;
    QSpinBox::mousePressEvent(event);
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    QSpinBox::mouseReleaseEvent(event);
    mouseDown_ = false;
    if (settled) {
      settled();
    }
  }

 private:
  bool mouseDown_ = false;
};

namespace {

// An implied interval: the naming sets it, a click or an accessibility
// toggle does not.
class ImpliedBox : public QCheckBox {
 public:
  ImpliedBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {}

 protected:
  bool hitButton(const QPoint& /*pos*/) const override { return false; }
  void nextCheckState() override {}
};

// Each string slot's column in dialog units.
int rootButtonX(int slot) {
  return 50 + 15 * slot;
}
int stringBoxX(int slot) {
  return 48 + 15 * slot;
}

QLineEdit* stringBox(QWidget* parent, const QRect& rect, const QString& tip) {
  auto* box = described(new QLineEdit(parent), tip);
  box->setGeometry(rect);
  box->setReadOnly(true);
  box->setAlignment(Qt::AlignCenter);
  box->setTextMargins(0, 0, 0, 0);
  box->setEnabled(false);
  box->setFocusPolicy(Qt::NoFocus);
  return box;
}

QPushButton* toggleButton(QWidget* parent, const QString& text, const QRect& rect,
                          const QString& tip) {
  auto* button = described(new QPushButton(text, parent), tip);
  button->setGeometry(rect);
  button->setCheckable(true);
  return button;
}

}  // namespace

DesignerPanel::DesignerPanel(AppContext& context, QWidget* frame)
    : Panel(context, QStringLiteral("Chord Designer"), QSize(264, 112), QStringLiteral("chord.bmp"),
            frame),
      model_(context.instrument, context.chord, context.midi) {
  // The Designer closes only with the program: a close box would do nothing.
  setClosable(false);
  createControls();
  initialiseControls();
  placeStringColumns();
  const Notifier& notifier = context.notifier;
  connect(&notifier, &Notifier::instrumentChanged, this, &DesignerPanel::instrumentChanged);
  connect(&notifier, &Notifier::tuningChanged, this, &DesignerPanel::tuningChanged);
  connect(&notifier, &Notifier::midiOpenChanged, this, &DesignerPanel::midiOpenChanged);
  connect(&notifier, &Notifier::chordLoaded, this, &DesignerPanel::chordLoaded);
  connect(&notifier, &Notifier::chordCleared, this, &DesignerPanel::clear);
  connect(&notifier, &Notifier::leftHandedChanged, this, &DesignerPanel::placeStringColumns);
  connect(&notifier, &Notifier::rootChosen, this, [this](int slot) {
    model_.chooseRoot(slot);
    refresh();
  });
  connect(&notifier, &Notifier::designerFocusRequested, this, [this] {
    if (isVisible()) {
      activateWindow();
      setFocus();
    }
  });
  for (QLineEdit* box : {rootBox_, typeBox_, bassBox_}) {
    // Typed over, the name is what documents file the chord by.
    connect(box, &QLineEdit::textChanged, this,
            [this] { context_.notifier.setChordNameTexts(nameTexts()); });
  }
  // The boxes show the chord as it stands from the start, not only after
  // the first change.
  refresh();
}

void DesignerPanel::createControls() {
  const QString chordRoot = QStringLiteral("Select chord root");
  play_ = described(new QPushButton(QStringLiteral("Play"), this),
                    QStringLiteral("Play the chord/Esc to silence"));
  play_->setGeometry(dialogRect(222, 82, 22, 12));
  clear_ =
      described(new QPushButton(QStringLiteral("Clear"), this), QStringLiteral("Clear the chord"));
  clear_->setGeometry(dialogRect(222, 94, 22, 12));

  fretboard_ = new FretboardView(model_, units().baseHeight(), this);
  fretboard_->setGeometry(dialogRect(150, 6, 71, 100));
  fretboard_->rebuild();
  fretboard_->setAccessibleName(QStringLiteral("Fretboard"));
  fretboard_->setAccessibleDescription(
      QStringLiteral("Arrow keys move between strings and frets, Space frets"));

  stringsGroup_ = new QGroupBox(QStringLiteral("Strings: Low to High"), this);
  stringsGroup_->setGeometry(dialogRect(48, 6, 90, 24));
  stringsGroup_->setAccessibleName(stringsGroup_->title());
  // A label keeps its right edge beside the controls it names and grows to
  // the left when the panel font is wider than the layout allowed for.
  const auto label = [this](const QString& caption, QRect rect) {
    auto* l = new QLabel(caption, this);
    const int needed = l->fontMetrics().horizontalAdvance(caption) + 2;
    if (rect.width() < needed) {
      rect.setLeft(std::max(1, rect.right() - needed));
    }
    l->setGeometry(rect);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setAccessibleName(caption);
    return l;
  };
  label(QStringLiteral("Select Root"), dialogRect(6, 18, 37, 10));
  for (int k = 0; k < kStringSlots; ++k) {
    QPushButton* button = described(new QPushButton(this), chordRoot);
    button->setGeometry(dialogRect(rootButtonX(k), 18, 10, 10));
    button->setCheckable(true);
    // Toggled, not clicked: a keyboard or screen reader's toggle chooses too.
    connect(button, &QPushButton::toggled, this, [this, k] {
      model_.chooseRoot(k);
      refresh();
    });
    rootButtons_[k] = button;
  }
  label(QStringLiteral("Intervals:"), dialogRect(16, 34, 28, 10));
  label(QStringLiteral("Notes:"), dialogRect(23, 50, 20, 10));
  for (int k = 0; k < kStringSlots; ++k) {
    intervalBoxes_[k] =
        stringBox(this, dialogRect(stringBoxX(k), 34, 15, 10), QStringLiteral("Chord interval"));
    noteBoxes_[k] =
        stringBox(this, dialogRect(stringBoxX(k), 50, 15, 10), QStringLiteral("Chord note"));
  }

  label(QStringLiteral("Name:"), dialogRect(23, 70, 20, 10));
  const auto nameBox = [this](QRect rect, const QString& tip) {
    auto* box = described(new QLineEdit(this), tip);
    box->setGeometry(rect);
    box->setTextMargins(0, 0, 0, 0);
    return box;
  };
  rootBox_ = nameBox(dialogRect(51, 70, 14, 10), QStringLiteral("Chord root"));
  typeBox_ = nameBox(dialogRect(66, 70, 52, 10), QStringLiteral("Chord type"));
  // A chord book files the chord under this text: never more than it holds.
  typeBox_->setMaxLength(static_cast<int>(kChordTypeNameMax));
  label(QStringLiteral("/"), dialogRect(117, 71, 5, 10));
  bassBox_ = nameBox(dialogRect(123, 70, 14, 10), QStringLiteral("Chord bass note"));

  label(QStringLiteral("Implied"), dialogRect(51, 82, 24, 10));
  // Each box a little wider than its template so the indicator and its
  // digit both show.
  const std::array<QRect, 4> impliedRects{dialogRect(76, 82, 18, 9), dialogRect(96, 82, 18, 9),
                                          dialogRect(76, 91, 18, 9), dialogRect(96, 91, 18, 9)};
  const std::array<QString, 4> impliedTexts{QStringLiteral("3"), QStringLiteral("5"),
                                            QStringLiteral("7"), QStringLiteral("9")};
  for (std::size_t i = 0; i < impliedBoxes_.size(); ++i) {
    auto* box =
        described(new ImpliedBox(impliedTexts[i], this), QStringLiteral("Implied interval"));
    box->setGeometry(impliedRects[i]);
    box->setLayoutDirection(Qt::RightToLeft);
    box->setFocusPolicy(Qt::NoFocus);
    box->setAccessibleDescription(QStringLiteral("Interval %1 assumed").arg(impliedTexts[i]));
    impliedBoxes_[i] = box;
  }

  enharmonic_ = toggleButton(this, QStringLiteral("Enharmonic"), dialogRect(6, 97, 44, 9),
                             QStringLiteral("Show enharmonic notes"));
  topFret_ = described(new TopFretSpinBox(this), QStringLiteral("The top fret's position"));
  // The arrows and their number share one control, below "Bar".
  topFret_->setGeometry(dialogRect(222, 17, 24, 11));
  topFret_->setRange(0, kMaxTopFret);
  bar_ = toggleButton(this, QStringLiteral("Bar"), dialogRect(233, 6, 25, 9),
                      QStringLiteral("Bar the top fret"));
  hold_ = toggleButton(this, QStringLiteral("Hold"), dialogRect(222, 53, 36, 10),
                       QStringLiteral("Hold strings down"));
  playNotes_ = toggleButton(this, QStringLiteral("Play notes"), dialogRect(222, 63, 36, 10),
                            QStringLiteral("Play notes when fretting"));
  speed_ = described(new QSlider(Qt::Horizontal, this), QStringLiteral("Argeggio speed"));
  speed_->setGeometry(dialogRect(222, 73, 36, 9));
  speed_->setRange(kMinArpeggioDelayMs, kMaxArpeggioDelayMs);
  speed_->setPageStep(50);

  // The keyboard goes from the fretboard through the name to the options.
  QWidget* previous = fretboard_;
  const auto then = [&previous](QWidget* next) {
    setTabOrder(previous, next);
    previous = next;
  };
  for (QPushButton* button : rootButtons_) {
    then(button);
  }
  for (QWidget* next :
       std::initializer_list<QWidget*>{rootBox_, typeBox_, bassBox_, enharmonic_, topFret_, bar_,
                                       hold_, playNotes_, speed_, play_, clear_}) {
    then(next);
  }

  connect(fretboard_, &FretboardView::cellPressed, this, &DesignerPanel::fretPressed);
  connect(clear_, &QPushButton::clicked, this, &DesignerPanel::clear);
  connect(play_, &QPushButton::clicked, this, [this] { model_.play(); });
  connect(hold_, &QPushButton::toggled, this, [this](bool on) {
    model_.setHoldAll(on);
    redraw();
  });
  connect(enharmonic_, &QPushButton::toggled, this, [this](bool on) {
    model_.setEnharmonic(on);
    refresh();
  });
  connect(bar_, &QPushButton::toggled, this, [this](bool on) {
    model_.setBarred(on);
    redraw();
    refresh();
  });
  connect(playNotes_, &QPushButton::toggled, this, [this](bool on) { model_.setPlayNotes(on); });
  topFret_->settled = [this] { applyTopFret(); };
  // The speed counts when the slider is let go; keys and clicks on the track
  // count at once.
  connect(speed_, &QSlider::valueChanged, this, [this](int value) {
    if (!speed_->isSliderDown()) {
      model_.setArpeggioDelay(value);
    }
  });
  connect(speed_, &QSlider::sliderReleased, this,
          [this] { model_.setArpeggioDelay(speed_->value()); });
}

void DesignerPanel::initialiseControls() {
  const int n = model_.strings();
  for (int k = 0; k < kStringSlots; ++k) {
    rootButtons_[k]->setText(k < n ? QString::number(n - k) : QString());
    const QString string = k < n ? QStringLiteral("String %1").arg(n - k) : QString();
    // Six buttons with one name cannot be told apart by a screen reader.
    described(rootButtons_[k], k < n ? QStringLiteral("Root on string %1").arg(n - k)
                                     : QStringLiteral("Select chord root"));
    rootButtons_[k]->setAccessibleDescription(string);
    intervalBoxes_[k]->setAccessibleDescription(string);
    noteBoxes_[k]->setAccessibleDescription(string);
  }
  {
    const QSignalBlocker blocker(speed_);
    speed_->setValue(model_.arpeggioDelay());
  }
  syncToggles();
}

void DesignerPanel::syncToggles() {
  const DesignerChord& chord = model_.chord();
  // The checks show the model; only the user's toggles reach it.
  const QSignalBlocker barBlocker(bar_);
  const QSignalBlocker holdBlocker(hold_);
  const QSignalBlocker enharmonicBlocker(enharmonic_);
  const QSignalBlocker playNotesBlocker(playNotes_);
  bar_->setChecked(chord.barred);
  hold_->setChecked(chord.holdAll);
  enharmonic_->setChecked(chord.enharmonic);
  play_->setEnabled(model_.playEnabled());
  playNotes_->setEnabled(model_.playEnabled());
  playNotes_->setChecked(model_.playNotesOn());
  const QSignalBlocker blocker(topFret_);
  topFret_->setValue(model_.topFret());
}

void DesignerPanel::instrumentChanged() {
  model_.instrumentChanged();
  fretboard_->rebuild();
  initialiseControls();
  placeStringColumns();
  redraw();
  refresh();
}

// Left-handed, the columns of the strings run from the highest string on
// the left to the lowest on the right, as on the mirrored fretboard.
void DesignerPanel::placeStringColumns() {
  const bool mirrored = context_.state.leftHanded;
  const int n = model_.strings();
  for (int k = 0; k < kStringSlots; ++k) {
    const int column = mirrored && k < n ? n - 1 - k : k;
    placeControl(rootButtons_[k], actualUnits().rect(rootButtonX(column), 18, 10, 10));
    placeControl(intervalBoxes_[k], actualUnits().rect(stringBoxX(column), 34, 15, 10));
    placeControl(noteBoxes_[k], actualUnits().rect(stringBoxX(column), 50, 15, 10));
  }
  stringsGroup_->setTitle(mirrored ? QStringLiteral("Strings: High to Low")
                                   : QStringLiteral("Strings: Low to High"));
  stringsGroup_->setAccessibleName(stringsGroup_->title());
  fretboard_->setLeftHanded(mirrored);
}

void DesignerPanel::zoomChanged() {
  fretboard_->setBaseUnitHeight(units().baseHeight());
}

void DesignerPanel::tuningChanged() {
  redraw();
  refresh();
}

void DesignerPanel::midiOpenChanged(bool open) {
  if (open) {
    model_.midiOpened();
  } else {
    model_.midiClosed();
  }
  syncToggles();
}

void DesignerPanel::chordLoaded() {
  model_.chordLoaded();
  syncToggles();
  redraw();
  refresh();
}

void DesignerPanel::clear() {
  model_.clear();
  redraw();
  refresh();
}

ChordNameTexts DesignerPanel::nameTexts() const {
  return {rootBox_->text(), typeBox_->text(), bassBox_->text()};
}

void DesignerPanel::silence() {
  model_.silence();
  context_.notifier.requestPlaybackStop();
}

void DesignerPanel::closeRequested() {
  if (context_.session.closing()) {
    Panel::closeRequested();
  }
}

void DesignerPanel::fretPressed(int row, int string) {
  if (model_.fretClick(row, string)) {
    redraw();
    refresh();
  }
}

void DesignerPanel::applyTopFret() {
  if (topFret_->value() == model_.topFret()) {
    return;
  }
  model_.setTopFret(topFret_->value());
  redraw();
  refresh();
}

void DesignerPanel::redraw() {
  // Drawn at once, not when the event loop comes round: the string must
  // show as it sounds.
  fretboard_->repaint();
}

void DesignerPanel::refresh() {
  applyView(model_.refresh());
  context_.notifier.announceChordNamed(nameTexts());
}

void DesignerPanel::applyView(const DesignerView& view) {
  for (int k = 0; k < kStringSlots; ++k) {
    const DesignerStringView& string = view.strings[k];
    rootButtons_[k]->setEnabled(string.sounds);
    const QSignalBlocker blocker(rootButtons_[k]);
    rootButtons_[k]->setChecked(string.isRoot);
    intervalBoxes_[k]->setEnabled(string.sounds);
    intervalBoxes_[k]->setText(screenText(string.interval));
    noteBoxes_[k]->setEnabled(string.sounds);
    noteBoxes_[k]->setText(screenText(string.note));
  }
  rootBox_->setText(screenText(view.root));
  typeBox_->setText(screenText(view.type));
  typeBox_->setCursorPosition(0);
  bassBox_->setText(screenText(view.bass));
  impliedBoxes_[0]->setChecked(view.implied.third);
  impliedBoxes_[1]->setChecked(view.implied.fifth);
  impliedBoxes_[2]->setChecked(view.implied.seventh);
  impliedBoxes_[3]->setChecked(view.implied.ninth);
}

}  // namespace fretlets
