#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace fretlets {

// One running copy per user. The first start listens on a local socket whose
// name is private to the user; a later start hands its one path (or nothing)
// to that copy and exits.
class SingleInstance : public QObject {
  Q_OBJECT

 public:
  enum class HandOver { Delivered, NoRunningCopy };

  // name: the socket name; serverName() for the program.
  explicit SingleInstance(QString name, QObject* parent = nullptr);
  ~SingleInstance() override;

  // The user's socket name, in the user's private runtime folder when there
  // is one, with the user id in it in any case.
  static QString serverName();

  // Hands path (absolute, or empty to only bring the running copy forward)
  // to the copy listening on name. Waits until that copy took it.
  static HandOver handOver(const QString& name, const QString& path);

  // Starts listening unless another copy answers on the name. A socket left
  // behind by a copy that crashed is replaced. False when another copy
  // answered or listening failed.
  bool listen();

 signals:
  // A later start asked this copy to come forward; path is what it handed
  // over, possibly empty or not a document at all.
  void handedOver(const QString& path);

 private:
  void readConnection();

  QString name_;
  QLocalServer* server_;
};

}  // namespace fretlets
