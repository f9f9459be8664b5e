#pragma once

namespace fretlets {

// The frame's commands, by the numbers its menu and toolbar carry. Each id
// has exactly one action in the frame, shared by its menu item and its
// toolbar button.
enum class CommandId : int {
  ScoreNew = 11010,
  ScoreOpen = 11011,
  ScoreClose = 11012,
  ScoreSave = 11013,
  ScoreSaveAs = 11014,
  ScorePrint = 11015,
  ScoreExportPdf = 11016,
  ScoreExportMidi = 11017,
  ChordBookNew = 11020,
  ChordBookOpen = 11021,
  ChordBookClose = 11022,
  ChordBookSave = 11023,
  ChordBookSaveAs = 11024,
  ChordBookPrint = 11025,
  ChordBookExportPdf = 11026,
  ExportChordDiagram = 11070,
  LoadTexture = 11080,
  Exit = 11090,
  ViewMidiAmp = 12010,
  ViewInstrument = 12020,
  ViewDesigner = 12030,
  ViewFinder = 12040,
  ViewLeftHanded = 12050,
  ZoomIn = 12060,
  ZoomOut = 12061,
  ZoomActualSize = 12062,
  HelpContents = 13010,
  About = 13020,
};

}  // namespace fretlets
