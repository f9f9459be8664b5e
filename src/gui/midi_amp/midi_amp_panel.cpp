#include "gui/midi_amp/midi_amp_panel.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <algorithm>
#include <utility>

#include "gui/common/notifier.h"
#include "gui/common/screen_text.h"
#include "gui/common/show_message.h"
#include "sound/apply_patch.h"
#include "sound/midi_device.h"

namespace fretlets {
namespace {

constexpr std::chrono::milliseconds kReadyPoll(20);

// The closed height of a list box or button of this panel: its natural
// height, but never taller than the strip it sits in.
int controlHeight(const QWidget& control, const QRect& room) {
  return std::min(control.sizeHint().height(), room.height());
}

}  // namespace

MidiAmpPanel::MidiAmpPanel(AppContext& context, QWidget* frame)
    : Panel(context, QStringLiteral("MIDI Amp"), QSize(264, 23), QStringLiteral("amp.bmp"), frame),
      standardBox_(new QComboBox(this)),
      patchBox_(new QComboBox(this)),
      volumeLabel_(new QLabel(QStringLiteral("Vol"), this)),
      volumeBox_(new QSpinBox(this)),
      onButton_(new QPushButton(QStringLiteral("On"), this)) {
  // The strip leaves the controls from y = 6 to the bottom edge.
  const QRect room = dialogRect(0, 6, 264, 17);

  const QRect standardRect = dialogRect(6, 6, 26, 35);
  standardBox_->setGeometry(standardRect.x(), standardRect.y(), standardRect.width(),
                            controlHeight(*standardBox_, room));
  const QRect patchRect = dialogRect(32, 6, 97, 56);
  patchBox_->setGeometry(patchRect.x(), patchRect.y(), patchRect.width(),
                         controlHeight(*patchBox_, room));
  patchBox_->setMaxVisibleItems(12);

  volumeLabel_->setGeometry(dialogRect(189, 7, 12, 10));
  volumeLabel_->setAlignment(Qt::AlignRight | Qt::AlignTop);
  volumeLabel_->setBuddy(volumeBox_);
  // The number and its arrows form one control here.
  volumeBox_->setGeometry(dialogRect(204, 6, 26, 10));
  volumeBox_->setRange(0, 127);
  volumeBox_->setAlignment(Qt::AlignCenter);
  volumeBox_->setFocusPolicy(Qt::ClickFocus);
  if (auto* text = volumeBox_->findChild<QLineEdit*>()) {
    text->setReadOnly(true);
    text->installEventFilter(this);
  }
  volumeBox_->installEventFilter(this);

  const QRect onRect = dialogRect(236, 6, 22, 12);
  onButton_->setGeometry(onRect);
  onButton_->setCheckable(true);
  onButton_->setAutoDefault(false);

  for (const auto& [control, tip] :
       {std::pair<QWidget*, QString>{standardBox_, QStringLiteral("MIDI standard")},
        {patchBox_, QStringLiteral("MIDI patch")},
        {volumeBox_, QStringLiteral("Output volume")},
        {onButton_, QStringLiteral("MIDI Amp On/Off")}}) {
    control->setToolTip(tip);
    control->setAccessibleName(tip);
  }
  volumeLabel_->setAccessibleName(QStringLiteral("Vol"));

  // What the device holds now: a panel opened again shows it as it is.
  MidiDevice& midi = context.midi;
  volumeBox_->setValue(midi.velocity);
  onButton_->setChecked(midi.isOpen());
  standardBox_->addItems({QStringLiteral("GM"), QStringLiteral("XG")});
  standardBox_->setCurrentIndex(midi.midiStandard == MidiStandard::XG ? 1 : 0);
  refillPatches();
  patchBox_->setCurrentIndex(midi.patchIndex);
  apply();

  // Only the user's own choices reach these: filling and selecting by the
  // program emits no activated().
  connect(standardBox_, &QComboBox::activated, this, [this] {
    refillPatches();
    apply();
  });
  connect(patchBox_, &QComboBox::activated, this, [this] { apply(); });
  connect(volumeBox_, &QSpinBox::valueChanged, this, [this] {
    if (!volumeHeld_) {
      applyVolume();  // the wheel: every notch is a whole change
    }
  });
  connect(onButton_, &QPushButton::clicked, this, [this] { toggleMidi(); });
  connect(&context_.notifier, &Notifier::patchRequested, this, &MidiAmpPanel::showPatch);
}

MidiAmpPanel::~MidiAmpPanel() {
  context_.timers.cancel(waitingForOutputs_);
}

MidiStandard MidiAmpPanel::chosenStandard() const {
  return standardBox_->currentIndex() == 1 ? MidiStandard::XG : MidiStandard::GM;
}

void MidiAmpPanel::refillPatches() {
  const MidiStandard standard = chosenStandard();
  patchBox_->clear();
  for (const PatchRow& row : patchTable(standard)) {
    patchBox_->addItem(screenText(row.name));
  }
  patchBox_->setCurrentIndex(defaultPatchRow(standard));
  // The strip keeps the box narrow; the open list shows whole names.
  patchBox_->view()->setMinimumWidth(patchBox_->view()->sizeHintForColumn(0) +
                                     patchBox_->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
}

void MidiAmpPanel::apply() {
  const int row = applyPatch(context_.midi, chosenStandard(), patchBox_->currentIndex());
  patchBox_->setCurrentIndex(row);
}

void MidiAmpPanel::applyVolume() {
  context_.midi.velocity = static_cast<std::uint8_t>(volumeBox_->value());
}

void MidiAmpPanel::switchOnAtStart() {
  onButton_->setChecked(true);
  if (!context_.midi.isOpen() && waitingForOutputs_ == TimerHandle{}) {
    switchOn();
  }
}

void MidiAmpPanel::showPatch(MidiStandard standard, int row) {
  standardBox_->setCurrentIndex(standard == MidiStandard::XG ? 1 : 0);
  refillPatches();
  patchBox_->setCurrentIndex(row);
}

void MidiAmpPanel::silence() {
  context_.midi.allNotesOff();
}

bool MidiAmpPanel::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::FocusIn:
      // The volume box never keeps the focus: keys belong to the button.
      onButton_->setFocus(Qt::OtherFocusReason);
      break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
      // Only the left button steps the arrows; a right click opens a menu
      // that takes the release.
      volumeHeld_ =
          watched == volumeBox_ && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
      break;
    case QEvent::MouseButtonRelease:
      if (watched == volumeBox_ && volumeHeld_) {
        volumeHeld_ = false;
        applyVolume();  // a change takes effect when the arrow is let go
      }
      break;
    default:
      break;
  }
  return Panel::eventFilter(watched, event);
}

void MidiAmpPanel::toggleMidi() {
  if (waitingForOutputs_ != TimerHandle{}) {
    // Pressed again while waiting for the synthesizer: the user gave up.
    context_.timers.cancel(waitingForOutputs_);
    waitingForOutputs_ = {};
    onButton_->setChecked(false);
    return;
  }
  if (context_.midi.isOpen()) {
    switchOff();
  } else {
    switchOn();
  }
}

void MidiAmpPanel::switchOn() {
  context_.midi.prepareOutputs();
  if (context_.midi.outputsReady()) {
    finishSwitchingOn();
    return;
  }
  onButton_->setChecked(true);
  waitForOutputs();
}

void MidiAmpPanel::waitForOutputs() {
  waitingForOutputs_ = context_.timers.schedule(kReadyPoll, [this] {
    waitingForOutputs_ = {};
    if (context_.midi.outputsReady()) {
      finishSwitchingOn();
    } else {
      waitForOutputs();
    }
  });
}

void MidiAmpPanel::finishSwitchingOn() {
  if (!context_.midi.openMidiMapper()) {
    onButton_->setChecked(false);
    // The box waits for an answer while other events run: nothing of this
    // panel is touched after it.
    showMessage(QStringLiteral("Can't open Midi Mapper"), {MessageIcon::Warning});
    return;
  }
  onButton_->setChecked(true);
  apply();  // the chosen patch reaches the synthesizer
  context_.notifier.announceMidiOpen(true);
}

void MidiAmpPanel::switchOff() {
  context_.midi.closeMidi();
  onButton_->setChecked(false);
  context_.notifier.announceMidiOpen(false);
}

}  // namespace fretlets
