#pragma once

#include <span>

#include "gui/common/command_id.h"
#include "gui/common/document_kind.h"

class QWidget;

namespace fretlets {

struct AppContext;
class FileDialogs;

// The sharing and printing commands of the File menu: the Designer's chord
// as a diagram, the open chord book printed or as PDF, the open score
// printed, as PDF or as a MIDI file. Every failure is told through
// showMessage, naming the file and what went wrong.
void runExportCommand(CommandId id, AppContext& context, FileDialogs& dialogs, QWidget* owner);

// The commands that are grey while no document of kind is open.
std::span<const CommandId> documentExportCommands(DocumentKind kind);

}  // namespace fretlets
