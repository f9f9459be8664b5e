#include "sound/midi_device.h"

#include <algorithm>
#include <atomic>
#include <utility>

namespace fretlets {
namespace {

bool isStringSlot(int string) {
  return string >= 0 && string < kStringSlots;
}

}  // namespace

MidiDevice::MidiDevice(const InstrumentState& instrument, const DesignerChord& chord,
                       TimerService& timers, Outputs outputs)
    : instrument_(instrument), chord_(chord), timers_(timers), outputs_(std::move(outputs)) {}

MidiDevice::~MidiDevice() {
  for (const auto& [id, step] : chainTimers_) {
    timers_.cancel(step.handle);
  }
  if (isOpen_) {
    closeMidi();
  }
  const std::lock_guard lock(line_->mutex);
  line_->output = nullptr;
}

void MidiDevice::prepareOutputs() {
  for (MidiOutput& output : outputs_) {
    output.prepare();
  }
}

bool MidiDevice::outputsReady() const {
  return std::ranges::all_of(outputs_, [](const MidiOutput& output) { return output.ready(); });
}

bool MidiDevice::openMidiMapper() {
  if (isOpen_) {
    return true;  // a second open would orphan the output already in use
  }
  for (MidiOutput& output : outputs_) {
    const std::lock_guard lock(line_->mutex);
    if (output.open()) {
      line_->output = &output;
      isOpen_ = true;
      return true;
    }
  }
  return false;
}

void MidiDevice::closeMidi() {
  isOpen_ = false;
  // Silenced and closed under one hold of the line, so that no chord the
  // timing thread sends can slip in between and hang on an external synth.
  const std::lock_guard lock(line_->mutex);
  if (line_->output != nullptr) {
    line_->output->send(shortMessage(kControlChange | channel, kAllNotesOffController, 0));
    line_->output->close();
    line_->output = nullptr;
  }
}

// A data byte with its top bit set would be read as a status byte and derail
// the receiver's parsing of everything after it.
void MidiDevice::sendShortMessage(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
  const std::lock_guard lock(line_->mutex);
  if (line_->output != nullptr) {
    line_->output->send(shortMessage(status, data1 & 0x7F, data2 & 0x7F));
  }
}

std::function<void()> MidiDevice::sender(std::vector<std::uint32_t> messages,
                                         std::shared_ptr<std::atomic<bool>> sent) const {
  return [line = line_, messages = std::move(messages), sent = std::move(sent)] {
    {
      const std::lock_guard lock(line->mutex);
      if (line->output != nullptr) {
        for (const std::uint32_t message : messages) {
          line->output->send(message);
        }
      }
    }
    if (sent) {
      sent->store(true);
    }
  };
}

void MidiDevice::noteOn(std::uint8_t note) {
  sendShortMessage(kNoteOn | channel, note, velocity);
}

void MidiDevice::noteOff(std::uint8_t note) {
  sendShortMessage(kNoteOff | channel, note, 0);
}

void MidiDevice::allNotesOff() {
  sendShortMessage(kControlChange | channel, kAllNotesOffController, 0);
}

void MidiDevice::selectPatch(std::uint8_t bankNumber, std::uint8_t programNumber) {
  sendShortMessage(kControlChange | channel, kBankSelectLsb, bankNumber);
  sendShortMessage(kProgramChange | channel, programNumber, 0);
}

void MidiDevice::rememberPatch(MidiStandard standard, int row, std::uint8_t bankNumber,
                               std::uint8_t programNumber) {
  midiStandard = standard;
  patchIndex = row;
  bank = bankNumber;
  program = programNumber;
}

void MidiDevice::playStringNote(int string, int fret) {
  if (!isStringSlot(string)) {
    return;
  }
  const auto note = static_cast<std::int8_t>(instrument_.tuning[string] + fret);
  if (note >= 0) {
    noteOn(static_cast<std::uint8_t>(note));
  }
}

void MidiDevice::replaceSoundingNote(int string, int note) {
  if (!isStringSlot(string)) {
    return;
  }
  const std::int8_t sounding = soundingNotes[string];
  if (sounding != kNone) {
    noteOff(static_cast<std::uint8_t>(sounding));
  }
  soundingNotes[string] = static_cast<std::int8_t>(note);
}

void MidiDevice::arpeggiateChord(int firstString) {
  startChain(Chain::Arpeggio, firstString);
}

void MidiDevice::playOpenStrings(int firstString) {
  startChain(Chain::OpenStrings, firstString);
}

void MidiDevice::soundChord(int firstString) {
  for (const std::uint32_t message : chordMessages(chord_, firstString, soundingNotes)) {
    sendShortMessage(messageStatus(message), messageData1(message), messageData2(message));
  }
}

std::vector<std::uint32_t> MidiDevice::chordMessages(
    const DesignerChord& chord, int firstString,
    std::array<std::int8_t, kStringSlots>& sounding) const {
  std::vector<std::uint32_t> messages;
  auto replace = [&](int s, int note) {
    if (sounding[s] != kNone) {
      messages.push_back(shortMessage(kNoteOff | channel, sounding[s] & 0x7F, 0));
    }
    sounding[s] = static_cast<std::int8_t>(note);
  };
  for (int s = std::max(firstString, 0); s < instrument_.strings(); ++s) {
    if (chord.frets[s] == kNone) {
      if (chord.release) {
        replace(s, kNone);
      }
      continue;
    }
    const int note = instrument_.tuning[s] + chord.frets[s];
    if (!chord.held[s]) {
      replace(s, note);
      messages.push_back(noteOnMessage(note));
    } else if (note != sounding[s]) {
      replace(s, note);
    }
  }
  return messages;
}

std::uint32_t MidiDevice::noteOnMessage(int note) const {
  return shortMessage(kNoteOn | channel, note & 0x7F, velocity & 0x7F);
}

int MidiDevice::nextChainString(Chain chain, int firstString) const {
  for (int s = std::max(firstString, 0); s < instrument_.strings(); ++s) {
    if (chain == Chain::Arpeggio ? chord_.frets[s] != kNone && !chord_.held[s]
                                 : instrument_.tuning[s] != kNone) {
      return s;
    }
  }
  return kNone;
}

std::vector<std::uint32_t> MidiDevice::chainNote(Chain chain, int string) const {
  const int note =
      instrument_.tuning[string] + (chain == Chain::Arpeggio ? chord_.frets[string] : 0);
  if (note < 0) {
    return {};
  }
  return {noteOnMessage(note)};
}

std::chrono::microseconds MidiDevice::chainDelay(Chain chain) const {
  return std::chrono::milliseconds(chain == Chain::Arpeggio ? arpeggioDelayMs : tuningDelayMs);
}

void MidiDevice::startChain(Chain chain, int firstString) {
  const int string = nextChainString(chain, firstString);
  if (string == kNone) {
    return;
  }
  sender(chainNote(chain, string))();
  armChainStep(chain, string + 1, timers_.now() + chainDelay(chain));
}

// Each step's note is worked out when the step is armed and leaves at its
// deadline from the timing side, whatever the owner thread is doing; the
// callback then arms the step after it, timed from this deadline, so a late
// callback does not hold the chain back.
void MidiDevice::armChainStep(Chain chain, int firstString, std::chrono::microseconds deadline) {
  const int string = nextChainString(chain, firstString);
  if (string == kNone) {
    return;
  }
  const std::uint64_t id = ++lastStep_;
  auto struck = std::make_shared<std::atomic<bool>>(false);
  const TimerHandle handle = timers_.scheduleSoundAt(
      deadline, sender(chainNote(chain, string), struck), [this, id, chain, string, deadline] {
        chainTimers_.erase(id);
        armChainStep(chain, string + 1, deadline + chainDelay(chain));
      });
  chainTimers_.emplace(id, ChainStep{handle, chain, firstString, string, deadline, struck});
}

void MidiDevice::chordEdited() {
  for (const auto& [id, step] : std::exchange(chainTimers_, {})) {
    timers_.cancel(step.handle);
    // A step whose note already left goes on with the string after it.
    if (step.struck->load()) {
      armChainStep(step.chain, step.string + 1, step.deadline + chainDelay(step.chain));
    } else {
      armChainStep(step.chain, step.firstString, step.deadline);
    }
  }
}

}  // namespace fretlets
