#pragma once

#include <QString>
#include <functional>

namespace fretlets {

enum class MessageIcon { None, Information, Warning, Exclamation, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

struct MessageFlags {
  MessageIcon icon = MessageIcon::None;
  MessageButtons buttons = MessageButtons::Ok;
  // No rather than Yes is the default button: for a question whose Yes
  // destroys something, such as replacing a file.
  bool defaultNo = false;
};

// Every message the user sees goes through here: an application-modal box
// captioned "Fretlets" with the icon and buttons of flags. Returns the
// button the user chose; closing the box counts as Cancel (or No, or OK,
// whichever of them the box has).
MessageAnswer showMessage(const QString& text, MessageFlags flags = {});

// True while a message box (or the handler that replaces it) waits for an
// answer: commands that arrive meanwhile wait until it is gone.
bool messageBoxOpen();

// Replaces the box, for tests that script the answers and record the texts.
// An empty handler restores the real box.
using MessageHandler = std::function<MessageAnswer(const QString& text, MessageFlags flags)>;
void setMessageHandler(MessageHandler handler);

}  // namespace fretlets
