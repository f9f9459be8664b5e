#include "gui/finder/chord_finder_panel.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>

#include "gui/common/app_state.h"
#include "gui/common/notifier.h"
#include "gui/common/screen_text.h"
#include "gui/common/show_message.h"
#include "models/document_session.h"
#include "music/chord_request.h"
#include "music/designer_chord.h"
#include "music/instrument.h"
#include "print/chord_diagram.h"
#include "sound/midi_device.h"

namespace fretlets {
namespace {

// A diagram in the list, in panel pixels.
constexpr QSize kDiagramSize(64, 80);
// Add All files this many fingerings without asking first.
constexpr std::size_t kAddAllWithoutAsking = 24;

// A chord as players write it: the major triad without its "maj", so C/E
// reads "C/E".
QString chordLabel(const ChordName& name) {
  QString text = screenText(name.root);
  if (name.type != "maj") {
    text += screenText(name.type);
  }
  if (!name.bass.empty()) {
    text += QLatin1Char('/') + screenText(name.bass);
  }
  return text;
}

QString impliedText(const ImpliedIntervals& implied) {
  QStringList degrees;
  for (const auto& [assumed, degree] :
       {std::pair{implied.third, "3"}, std::pair{implied.fifth, "5"},
        std::pair{implied.seventh, "7"}, std::pair{implied.ninth, "9"}}) {
    if (assumed) {
      degrees.append(QString::fromLatin1(degree));
    }
  }
  return degrees.isEmpty() ? QString() : QStringLiteral("implied ") + degrees.join(u", ");
}

QString fretsText(const Voicing& voicing, int strings) {
  QStringList frets;
  for (int s = 0; s < strings; ++s) {
    frets.append(voicing.frets[s] < 0 ? QStringLiteral("x") : QString::number(voicing.frets[s]));
  }
  return frets.join(QLatin1Char(' '));
}

}  // namespace

// The found fingerings as the list shows them. A whole neck holds hundreds
// of them, so each diagram is drawn when the list first shows it, not when
// the list is filled.
class VoicingDiagrams : public QAbstractListModel {
 public:
  struct Look {
    int strings = 0;
    bool enharmonic = false;
    bool leftHanded = false;
    QSize size;
    qreal ratio = 1;
  };

  VoicingDiagrams(const std::vector<Voicing>& found, QObject* parent)
      : QAbstractListModel(parent), found_(found) {}

  // The list changed, or how it is drawn.
  void reset(const Look& look) {
    beginResetModel();
    look_ = look;
    pictures_.clear();
    endResetModel();
  }

  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(found_.size());
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || index.row() >= rowCount({})) {
      return {};
    }
    const Voicing& voicing = found_[static_cast<std::size_t>(index.row())];
    switch (role) {
      case Qt::DisplayRole:
        return QStringLiteral("cost %1").arg(voicing.cost);
      case Qt::ToolTipRole:
      case Qt::AccessibleTextRole:
        return QStringLiteral("%1: %2, cost %3")
            .arg(chordLabel(voicing.name), fretsText(voicing, look_.strings))
            .arg(voicing.cost);
      case Qt::DecorationRole:
        return picture(index.row(), voicing);
      default:
        return {};
    }
  }

 private:
  QPixmap picture(int row, const Voicing& voicing) const {
    if (const auto drawn = pictures_.constFind(row); drawn != pictures_.cend()) {
      return *drawn;
    }
    ChordDiagram diagram = diagramOfChord(designerChordFor(voicing, look_.enharmonic),
                                          look_.strings, chordLabel(voicing.name));
    diagram.leftHanded = look_.leftHanded;
    QPixmap picture(look_.size * look_.ratio);
    picture.setDevicePixelRatio(look_.ratio);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    paintChordDiagram(painter, QRectF(QPointF(0, 0), QSizeF(look_.size)), diagram);
    painter.end();
    pictures_.insert(row, picture);
    return picture;
  }

  const std::vector<Voicing>& found_;
  Look look_;
  mutable QHash<int, QPixmap> pictures_;
};

ChordFinderPanel::ChordFinderPanel(AppContext& context, QWidget* frame)
    : Panel(context, QStringLiteral("Chord Finder"), QSize(264, 186), QStringLiteral("chord.bmp"),
            frame) {
  createControls();
  const Notifier& notifier = context.notifier;
  connect(&notifier, &Notifier::chordChanged, this, &ChordFinderPanel::refreshNames);
  connect(&notifier, &Notifier::chordCleared, this, &ChordFinderPanel::refreshNames);
  for (const auto signal : {&Notifier::instrumentChanged, &Notifier::tuningChanged}) {
    connect(&notifier, signal, this, [this] {
      refreshNames();
      refreshVoicings();
    });
  }
  connect(&notifier, &Notifier::documentsChanged, this, &ChordFinderPanel::updateAddButton);
  connect(&notifier, &Notifier::leftHandedChanged, this, &ChordFinderPanel::refreshVoicings);
  refreshNames();
  refreshVoicings();
}

void ChordFinderPanel::createControls() {
  const auto label = [this](const QString& text, QRect rect) {
    auto* caption = new QLabel(text, this);
    caption->setGeometry(rect);
    return caption;
  };
  label(QStringLiteral("Names:"), dialogRect(6, 4, 60, 10));
  names_ = described(new QListWidget(this), QStringLiteral("Names of the Designer's chord"));
  names_->setGeometry(dialogRect(6, 14, 252, 42));
  connect(names_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { chooseName(names_->row(item)); });
  connect(names_, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { chooseName(names_->row(item)); });

  label(QStringLiteral("Chord:"), dialogRect(6, 64, 24, 10));
  chordBox_ = described(new QLineEdit(QStringLiteral("C"), this), QStringLiteral("Chord to find"));
  chordBox_->setGeometry(dialogRect(30, 62, 50, 12));
  connect(chordBox_, &QLineEdit::textChanged, this, &ChordFinderPanel::refreshVoicings);
  const auto number = [this](int low, int high, int value, QRect rect, const QString& tip) {
    auto* box = described(new QSpinBox(this), tip);
    box->setRange(low, high);
    box->setValue(value);
    box->setGeometry(rect);
    connect(box, &QSpinBox::valueChanged, this, &ChordFinderPanel::refreshVoicings);
    return box;
  };
  label(QStringLiteral("Span:"), dialogRect(86, 64, 20, 10));
  span_ = number(1, 6, 4, dialogRect(106, 62, 26, 12), QStringLiteral("Frets the fingers span"));
  label(QStringLiteral("Frets:"), dialogRect(140, 64, 22, 10));
  lowest_ = number(0, kMaxFret, 0, dialogRect(162, 62, 28, 12), QStringLiteral("Lowest position"));
  label(QStringLiteral("to"), dialogRect(193, 64, 10, 10));
  highest_ =
      number(0, kMaxFret, 12, dialogRect(204, 62, 28, 12), QStringLiteral("Highest position"));

  voicings_ = described(new QListView(this), QStringLiteral("Fingerings of the chord"));
  diagrams_ = new VoicingDiagrams(found_, this);
  voicings_->setModel(diagrams_);
  voicings_->setGeometry(dialogRect(6, 78, 252, 88));
  voicings_->setViewMode(QListView::IconMode);
  voicings_->setFlow(QListView::LeftToRight);
  voicings_->setWrapping(true);
  voicings_->setResizeMode(QListView::Adjust);
  voicings_->setMovement(QListView::Static);
  voicings_->setIconSize(kDiagramSize);
  voicings_->setGridSize(QSize(kDiagramSize.width() + 8, kDiagramSize.height() + 22));
  voicings_->setUniformItemSizes(true);
  connect(voicings_, &QListView::clicked, this,
          [this](const QModelIndex& index) { chooseVoicing(index.row()); });
  connect(voicings_, &QListView::activated, this,
          [this](const QModelIndex& index) { chooseVoicing(index.row()); });
  connect(voicings_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          &ChordFinderPanel::updateAddButton);

  count_ = label(QString(), dialogRect(6, 172, 130, 10));
  addAll_ = makeButton(QStringLiteral("Add All"), dialogRect(146, 170, 36, 12),
                       QStringLiteral("Add every fingering shown to the Chord Book"));
  connect(addAll_, &QPushButton::clicked, this, &ChordFinderPanel::addAllToBook);
  add_ = makeButton(QStringLiteral("Add to Chord Book"), dialogRect(186, 170, 72, 12),
                    QStringLiteral("Add to Chord Book"));
  connect(add_, &QPushButton::clicked, this, &ChordFinderPanel::addToBook);
  updateAddButton();
}

void ChordFinderPanel::zoomChanged() {
  refreshVoicings();
}

void ChordFinderPanel::refreshNames() {
  const int strings = context_.instrument.strings();
  candidates_ = chordCandidates(context_.chord, context_.instrument.tuning);
  names_->clear();
  for (const ChordCandidate& candidate : candidates_) {
    QString text = chordLabel(candidate.name) +
                   QStringLiteral("    root on string %1").arg(strings - candidate.rootString);
    if (const QString implied = impliedText(candidate.name.implied); !implied.isEmpty()) {
      text += QStringLiteral("    ") + implied;
    }
    names_->addItem(text);
  }
}

void ChordFinderPanel::chooseName(int row) {
  if (row >= 0 && row < static_cast<int>(candidates_.size())) {
    context_.notifier.chooseRoot(candidates_[static_cast<std::size_t>(row)].rootString);
  }
}

void ChordFinderPanel::refreshVoicings() {
  found_.clear();
  lastChosen_ = -1;
  const std::optional<ChordRequest> chord = parseChordRequest(chordBox_->text().toStdString());
  const QSize size = kDiagramSize * zoom() / 100;
  voicings_->setIconSize(size);
  voicings_->setGridSize(QSize(size.width() + 8, size.height()) + QSize(0, 22) * zoom() / 100);
  if (!chord) {
    diagrams_->reset({});
    count_->setText(chordBox_->text().isEmpty() ? QString() : QStringLiteral("Not a chord name"));
    updateAddButton();
    return;
  }
  VoicingQuery query;
  query.rootClass = chord->rootClass;
  query.typeRow = chord->typeRow;
  // C/C asks for the root in the bass; C alone lists the inversions too.
  query.rootPosition = chord->bassClass == chord->rootClass;
  query.bassClass = query.rootPosition ? kNone : chord->bassClass;
  query.enharmonic = chord->enharmonic;
  query.strings = context_.instrument.strings();
  query.tuning = context_.instrument.tuning;
  query.span = span_->value();
  query.lowestPosition = std::min(lowest_->value(), highest_->value());
  query.highestPosition = std::max(lowest_->value(), highest_->value());
  enharmonic_ = chord->enharmonic;
  found_ = findVoicings(query);
  diagrams_->reset(
      {query.strings, enharmonic_, context_.state.leftHanded, size, devicePixelRatioF()});
  count_->setText(found_.size() == 1 ? QStringLiteral("1 fingering")
                                     : QStringLiteral("%1 fingerings").arg(found_.size()));
  updateAddButton();
}

void ChordFinderPanel::chooseVoicing(int row) {
  if (row < 0 || row >= static_cast<int>(found_.size())) {
    return;
  }
  // A click and the activation of the same double-click (or of a style that
  // activates on one click) are one choice: the chord is struck once.
  if (row == lastChosen_ && sinceChosen_.isValid() &&
      sinceChosen_.elapsed() < QApplication::doubleClickInterval()) {
    return;
  }
  lastChosen_ = row;
  sinceChosen_.start();
  loadVoicing(found_[static_cast<std::size_t>(row)], enharmonic_);
  if (context_.midi.isOpen()) {
    context_.midi.arpeggiateChord(0);
  }
}

DesignerChord ChordFinderPanel::loadedChord(const Voicing& voicing, bool enharmonic) const {
  // Loaded as the Chord Book loads a fretlet: the shape and its place on the
  // neck; the Designer's own options stay.
  const DesignerChord shape = designerChordFor(voicing, enharmonic);
  DesignerChord chord = context_.chord;
  chord.frets = shape.frets;
  chord.rootString = shape.rootString;
  chord.topFret = shape.topFret;
  chord.barred = shape.barred;
  chord.enharmonic = shape.enharmonic;
  chord.held = {};
  return chord;
}

void ChordFinderPanel::loadVoicing(const Voicing& voicing, bool enharmonic) {
  context_.chord = loadedChord(voicing, enharmonic);
  context_.notifier.loadChord();
}

void ChordFinderPanel::addToBook() {
  const int row = voicings_->currentIndex().row();
  if (row < 0 || !context_.session.isOpen(DocumentKind::ChordBook)) {
    return;
  }
  chooseVoicing(row);
  context_.notifier.requestBookAdd();
}

void ChordFinderPanel::addAllToBook() {
  const ChordBookDocument* document = context_.session.chordBook();
  if (document == nullptr || found_.empty()) {
    return;
  }
  // A whole neck of fingerings is easily more than a player means to file.
  if (found_.size() > kAddAllWithoutAsking &&
      showMessage(QStringLiteral("Add all %1 fingerings to the Chord Book?").arg(found_.size()),
                  {MessageIcon::Question, MessageButtons::YesNo}) != MessageAnswer::Yes) {
    return;
  }
  // Filed in one go: the book shows and sounds only the last, and this
  // panel is refreshed once rather than after every fingering.
  std::vector<BookFiling> filings;
  filings.reserve(found_.size());
  for (const Voicing& voicing : found_) {
    filings.push_back({loadedChord(voicing, enharmonic_), screenText(voicing.name.type)});
  }
  const std::size_t before = document->book.totalFretlets();
  context_.notifier.requestBookAddAll(filings);
  const std::size_t added = document->book.totalFretlets() - before;
  const std::size_t existed = filings.size() - added;
  count_->setText(QStringLiteral("%1 added").arg(added) +
                  (existed == 0 ? QString() : QStringLiteral(", %1 existed").arg(existed)));
  if (added == 0) {
    showMessage(QStringLiteral("Fretlet exists"), {MessageIcon::Exclamation, MessageButtons::Ok});
  }
}

void ChordFinderPanel::updateAddButton() {
  const bool bookOpen = context_.session.isOpen(DocumentKind::ChordBook);
  add_->setEnabled(bookOpen && voicings_->currentIndex().isValid());
  addAll_->setEnabled(bookOpen && !found_.empty());
}

}  // namespace fretlets
