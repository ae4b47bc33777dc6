// A local web server for trying a published game: browsers do not run the WebAssembly player from
// file:// pages, so "Publish to web..." opens the folder through this server on 127.0.0.1.
#pragma once

#include <QDir>
#include <QObject>
#include <QUrl>

class QTcpServer;
class QTcpSocket;

namespace marvo {

class PreviewServer : public QObject {
  Q_OBJECT

 public:
  explicit PreviewServer(QObject* parent = nullptr);

  // Serves the files of `folder` (no subfolders, no listings) and returns the address of its
  // index.html; an empty URL when no port could be opened. A later call serves another folder.
  QUrl serve(const QString& folder);

 private:
  void answer(QTcpSocket* socket);

  QTcpServer* server_ = nullptr;
  QDir folder_;
};

}  // namespace marvo
