#include <QAction>
#include <QToolBar>
#include <QToolButton>

#include "app/command_id.h"
#include "app/panel.h"
#include "designer/designer_panel.h"
#include "frame_fixture.h"
#include "instrument/instrument_panel.h"
#include "midi/midi_amp_panel.h"

namespace fretlets {
namespace {

using Frame = FrameTest;

TEST_F(Frame, Debug) {
  showFrame();
  waitFor([] { return false; });
  qDebug() << frame_->geometry() << frame_->frameGeometry() << frame_->minimumSizeHint();
  for (QWidget* w : {static_cast<QWidget*>(state().midiAmpPanel.data()),
                     static_cast<QWidget*>(state().instrumentPanel.data()),
                     static_cast<QWidget*>(state().designerPanel.data())}) {
    qDebug() << w->isVisible() << w->geometry() << w->frameGeometry();
  }
}

}  // namespace
}  // namespace fretlets
