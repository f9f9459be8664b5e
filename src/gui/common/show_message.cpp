#include "gui/common/show_message.h"

#include <QMessageBox>

namespace fretlets {
namespace {

// The GUI thread's one message box, replaceable by tests.
MessageHandler& messageHandler() {
  static MessageHandler handler;
  return handler;
}

int& openBoxes() {
  static int count = 0;
  return count;
}

// Counts the boxes open for as long as one waits for its answer.
class OpenBox {
 public:
  OpenBox() { ++openBoxes(); }
  OpenBox(const OpenBox&) = delete;
  OpenBox& operator=(const OpenBox&) = delete;
  ~OpenBox() { --openBoxes(); }
};

QMessageBox::Icon boxIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Warning:
    case MessageIcon::Exclamation:
      return QMessageBox::Warning;
    case MessageIcon::Question:
      return QMessageBox::Question;
    case MessageIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons boxButtons(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::OkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::Ok:
      break;
  }
  return QMessageBox::Ok;
}

MessageAnswer answerOf(int button, MessageButtons buttons) {
  switch (button) {
    case QMessageBox::Ok:
      return MessageAnswer::Ok;
    case QMessageBox::Yes:
      return MessageAnswer::Yes;
    case QMessageBox::No:
      return MessageAnswer::No;
    case QMessageBox::Cancel:
      return MessageAnswer::Cancel;
    default:
      break;
  }
  // Closed without a button: the safest answer the box offers.
  switch (buttons) {
    case MessageButtons::Ok:
      return MessageAnswer::Ok;
    case MessageButtons::YesNo:
      return MessageAnswer::No;
    default:
      return MessageAnswer::Cancel;
  }
}

}  // namespace

MessageAnswer showMessage(const QString& text, MessageFlags flags) {
  const OpenBox open;
  if (const MessageHandler& handler = messageHandler()) {
    return handler(text, flags);
  }
  QMessageBox box(boxIcon(flags.icon), QStringLiteral("Fretlets"), text, boxButtons(flags.buttons));
  box.setWindowModality(Qt::ApplicationModal);
  if (flags.defaultNo) {
    box.setDefaultButton(QMessageBox::No);
  }
  return answerOf(box.exec(), flags.buttons);
}

bool messageBoxOpen() {
  return openBoxes() > 0;
}

void setMessageHandler(MessageHandler handler) {
  messageHandler() = std::move(handler);
}

}  // namespace fretlets
