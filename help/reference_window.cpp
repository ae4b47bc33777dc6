// The reference window. Pages are read from the resource ":/docs/"; relative links between them
// resolve there as well.
#include "reference_window.h"

#include <QDesktopServices>
#include <QFile>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

#include "help/reference_topics.h"

namespace {

const QString kRoot = QStringLiteral("qrc:/docs/");
constexpr int kFileRole = Qt::UserRole;

QString fileOf(const QUrl& url) { return url.fileName(); }

// Hands the browser the pages with their examples captioned.
class ReferenceBrowser : public QTextBrowser {
 public:
  using QTextBrowser::QTextBrowser;

  QVariant loadResource(int type, const QUrl& name) override {
    if (type == QTextDocument::MarkdownResource && name.scheme() == QStringLiteral("qrc")) {
      const QByteArray page = ReferenceWindow::pageText(name.fileName()).toUtf8();
      return QString::fromStdString(marvo::readablePage(std::string_view(page.constData(), page.size())));
    }
    return QTextBrowser::loadResource(type, name);
  }
};

}  // namespace

ReferenceWindow::ReferenceWindow(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("ReferenceWindow"));
  setWindowTitle(QStringLiteral("Справочник Marvo IF"));
  resize(960, 640);

  backButton = new QToolButton(this);
  backButton->setText(QStringLiteral("◀ Назад"));
  backButton->setEnabled(false);
  forwardButton = new QToolButton(this);
  forwardButton->setText(QStringLiteral("Вперёд ▶"));
  forwardButton->setEnabled(false);
  auto* home = new QToolButton(this);
  home->setText(QStringLiteral("Содержание"));
  searchField = new QLineEdit(this);
  searchField->setPlaceholderText(QStringLiteral("Поиск по справочнику (Enter - следующее)"));
  searchField->setClearButtonEnabled(true);

  contents = new QListWidget(this);
  for (const auto& page : marvo::referencePages()) {
    auto* item = new QListWidgetItem(QString::fromUtf8(page.title.data(), static_cast<qsizetype>(page.title.size())));
    item->setData(kFileRole, QString::fromUtf8(page.file.data(), static_cast<qsizetype>(page.file.size())));
    contents->addItem(item);
  }
  browser = new ReferenceBrowser(this);
  browser->setOpenLinks(false);
  browser->setSearchPaths({QStringLiteral(":/docs")});

  auto* bar = new QHBoxLayout;
  bar->addWidget(backButton);
  bar->addWidget(forwardButton);
  bar->addWidget(home);
  bar->addWidget(searchField, 1);
  auto* split = new QSplitter(this);
  split->addWidget(contents);
  split->addWidget(browser);
  split->setStretchFactor(1, 1);
  split->setSizes({220, 740});
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(bar);
  layout->addWidget(split, 1);

  connect(backButton, &QToolButton::clicked, browser, &QTextBrowser::backward);
  connect(forwardButton, &QToolButton::clicked, browser, &QTextBrowser::forward);
  connect(home, &QToolButton::clicked, this, [this] { showPage(QString()); });
  connect(browser, &QTextBrowser::backwardAvailable, backButton, &QToolButton::setEnabled);
  connect(browser, &QTextBrowser::forwardAvailable, forwardButton, &QToolButton::setEnabled);
  connect(browser, &QTextBrowser::anchorClicked, this, &ReferenceWindow::openLink);
  connect(browser, &QTextBrowser::sourceChanged, this, &ReferenceWindow::pageChanged);
  connect(contents, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { showPage(item->data(kFileRole).toString()); });
  connect(contents, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { showPage(item->data(kFileRole).toString()); });
  connect(searchField, &QLineEdit::returnPressed, this, [this] { search(searchField->text()); });

  load(QString());
}

QString ReferenceWindow::pageText(const QString& file) {
  QFile f(QStringLiteral(":/docs/") + file);
  if (file.isEmpty() || !f.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(f.readAll());
}

void ReferenceWindow::load(const QString& file) {
  const QString name = pageText(file).isEmpty() ? QStringLiteral("README.md") : file;
  const QUrl url(kRoot + name);
  if (browser->source() != url) browser->setSource(url, QTextDocument::MarkdownResource);
}

void ReferenceWindow::showPage(const QString& file) {
  load(file);
  show();
  raise();
  activateWindow();
}

QString ReferenceWindow::currentPage() const { return fileOf(browser->source()); }

void ReferenceWindow::openLink(const QUrl& url) {
  const QUrl target = browser->source().resolved(url);
  if (target.scheme() == QStringLiteral("qrc")) {
    browser->setSource(target, QTextDocument::MarkdownResource);
  } else {
    QDesktopServices::openUrl(target);
  }
}

void ReferenceWindow::pageChanged(const QUrl& url) {
  const QString file = fileOf(url);
  for (int i = 0; i < contents->count(); ++i) {
    if (contents->item(i)->data(kFileRole).toString() == file) {
      contents->setCurrentRow(i);
      break;
    }
  }
  if (!searchField->text().isEmpty()) findInPage(searchField->text());
}

bool ReferenceWindow::findInPage(const QString& text) {
  if (browser->find(text)) return true;
  browser->moveCursor(QTextCursor::Start);  // wrap around to the top of the page
  return browser->find(text);
}

bool ReferenceWindow::search(const QString& text) {
  bool first = true;
  QString firstPage;
  for (int i = 0; i < contents->count(); ++i) {
    QListWidgetItem* item = contents->item(i);
    const QString file = item->data(kFileRole).toString();
    const bool has = text.isEmpty() || pageText(file).contains(text, Qt::CaseInsensitive);
    item->setHidden(!has);
    if (has && first) {
      firstPage = file;
      first = false;
    }
  }
  if (text.isEmpty()) return true;
  if (findInPage(text)) return true;
  if (firstPage.isEmpty()) return false;
  load(firstPage);
  return findInPage(text);
}
