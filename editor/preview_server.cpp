// A minimal HTTP/1.0 file server on 127.0.0.1 for the published game folder.
#include "preview_server.h"

#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

namespace marvo {

namespace {

QByteArray contentType(const QString& name) {
  if (name.endsWith(QStringLiteral(".html"))) return "text/html; charset=utf-8";
  if (name.endsWith(QStringLiteral(".js"))) return "text/javascript";
  if (name.endsWith(QStringLiteral(".wasm"))) return "application/wasm";
  return "application/octet-stream";
}

QByteArray response(const QByteArray& status, const QByteArray& type, const QByteArray& body) {
  return "HTTP/1.0 " + status + "\r\nContent-Type: " + type + "\r\nContent-Length: " + QByteArray::number(body.size()) +
         "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n" + body;
}

}  // namespace

PreviewServer::PreviewServer(QObject* parent) : QObject(parent) {}

QUrl PreviewServer::serve(const QString& folder) {
  folder_ = QDir(folder);
  if (!server_) {
    server_ = new QTcpServer(this);
    if (!server_->listen(QHostAddress::LocalHost, 0)) {
      delete server_;
      server_ = nullptr;
      return {};
    }
    connect(server_, &QTcpServer::newConnection, this, [this] {
      while (QTcpSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
      }
    });
  }
  return QUrl(QStringLiteral("http://127.0.0.1:%1/index.html").arg(server_->serverPort()));
}

void PreviewServer::answer(QTcpSocket* socket) {
  if (!socket->canReadLine()) {
    if (socket->bytesAvailable() > 8192) socket->abort();  // no request line that long
    return;
  }
  // One answer per connection, to its request line; the header lines after it are not read.
  if (socket->property("answered").toBool()) return;
  socket->setProperty("answered", true);
  // "GET /name HTTP/1.1": only plain names of files directly in the folder are served.
  const QList<QByteArray> request = socket->readLine().trimmed().split(' ');
  QByteArray reply;
  QString name = request.size() >= 2 ? QUrl::fromPercentEncoding(request[1]) : QString();
  name = name.section(QLatin1Char('?'), 0, 0).mid(1);
  if (name.isEmpty()) name = QStringLiteral("index.html");
  QFile file(folder_.filePath(name));
  if (request.size() < 2 || (request[0] != "GET" && request[0] != "HEAD")) {
    reply = response("405 Method Not Allowed", "text/plain", "GET only\n");
  } else if (name.contains(QLatin1Char('/')) || name.startsWith(QLatin1Char('.')) || !QFileInfo(file).isFile() ||
             !file.open(QIODevice::ReadOnly)) {
    reply = response("404 Not Found", "text/plain", "not found\n");
  } else {
    reply = response("200 OK", contentType(name), request[0] == "GET" ? file.readAll() : QByteArray());
  }
  socket->write(reply);
  socket->disconnectFromHost();
}

}  // namespace marvo
