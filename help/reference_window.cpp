// The reference window: pages read from the resource ":/docs/", where relative links resolve too.
#include "reference_window.h"

#include <QDesktopServices>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

#include "help/reference_topics.h"

namespace marvo {

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
      return QString::fromStdString(readablePage(std::string_view(page.constData(), page.size())));
    }
    return QTextBrowser::loadResource(type, name);
  }
};

}  // namespace

ReferenceWindow::ReferenceWindow(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("ReferenceWindow"));
  setWindowTitle(QStringLiteral("Справочник Marvo IF"));
  resize(960, 640);

  backButton_ = new QToolButton(this);
  backButton_->setText(QStringLiteral("◀ Назад"));
  backButton_->setEnabled(false);
  forwardButton_ = new QToolButton(this);
  forwardButton_->setText(QStringLiteral("Вперёд ▶"));
  forwardButton_->setEnabled(false);
  auto* contentsButton = new QToolButton(this);
  contentsButton->setText(QStringLiteral("Содержание"));
  searchField_ = new QLineEdit(this);
  searchField_->setAccessibleName(QStringLiteral("Поиск по справочнику"));
  searchField_->setPlaceholderText(QStringLiteral("Поиск по справочнику (Enter - следующее)"));
  searchField_->setClearButtonEnabled(true);
  searchStatus_ = new QLabel(this);
  searchStatus_->setObjectName(QStringLiteral("searchStatus"));
  searchStatus_->setVisible(false);

  contentsList_ = new QListWidget(this);
  contentsList_->setAccessibleName(QStringLiteral("Содержание справочника"));
  for (const auto& page : referencePages()) {
    auto* item = new QListWidgetItem(QString::fromUtf8(page.title.data(), static_cast<qsizetype>(page.title.size())));
    item->setData(kFileRole, QString::fromUtf8(page.file.data(), static_cast<qsizetype>(page.file.size())));
    contentsList_->addItem(item);
  }
  browser_ = new ReferenceBrowser(this);
  browser_->setAccessibleName(QStringLiteral("Страница справочника"));
  browser_->setOpenLinks(false);
  browser_->setSearchPaths({QStringLiteral(":/docs")});

  auto* bar = new QHBoxLayout;
  bar->addWidget(backButton_);
  bar->addWidget(forwardButton_);
  bar->addWidget(contentsButton);
  bar->addWidget(searchField_, 1);
  auto* split = new QSplitter(this);
  split->addWidget(contentsList_);
  split->addWidget(browser_);
  split->setStretchFactor(1, 1);
  split->setSizes({220, 740});
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(bar);
  layout->addWidget(searchStatus_);
  layout->addWidget(split, 1);

  connect(backButton_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
  connect(forwardButton_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
  connect(contentsButton, &QToolButton::clicked, this, &ReferenceWindow::showContents);
  connect(browser_, &QTextBrowser::backwardAvailable, backButton_, &QToolButton::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forwardButton_, &QToolButton::setEnabled);
  connect(browser_, &QTextBrowser::anchorClicked, this, &ReferenceWindow::openLink);
  connect(browser_, &QTextBrowser::sourceChanged, this, &ReferenceWindow::pageChanged);
  connect(contentsList_, &QListWidget::itemActivated, this, &ReferenceWindow::showListedPage);
  connect(contentsList_, &QListWidget::itemClicked, this, &ReferenceWindow::showListedPage);
  connect(searchField_, &QLineEdit::returnPressed, this, &ReferenceWindow::searchTyped);

  load(QString());
}

void ReferenceWindow::showContents() { showPage(QString()); }

void ReferenceWindow::showListedPage(QListWidgetItem* item) { showPage(item->data(kFileRole).toString()); }

// Enter in the search field: the next occurrence of its text (see search()).
void ReferenceWindow::searchTyped() { search(searchField_->text()); }

QString ReferenceWindow::pageText(const QString& file) {
  QFile f(QStringLiteral(":/docs/") + file);
  if (file.isEmpty() || !f.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(f.readAll());
}

void ReferenceWindow::load(const QString& file) {
  const QString name = pageText(file).isEmpty() ? QStringLiteral("README.md") : file;
  const QUrl url(kRoot + name);
  if (browser_->source() != url) browser_->setSource(url, QTextDocument::MarkdownResource);
}

void ReferenceWindow::showPage(const QString& file) {
  load(file);
  show();
  raise();
  activateWindow();
}

QString ReferenceWindow::currentPage() const { return fileOf(browser_->source()); }

void ReferenceWindow::openLink(const QUrl& url) {
  const QUrl target = browser_->source().resolved(url);
  if (target.scheme() == QStringLiteral("qrc")) {
    browser_->setSource(target, QTextDocument::MarkdownResource);
  } else {
    QDesktopServices::openUrl(target);
  }
}

void ReferenceWindow::pageChanged(const QUrl& url) {
  const QString file = fileOf(url);
  for (int i = 0; i < contentsList_->count(); ++i) {
    if (contentsList_->item(i)->data(kFileRole).toString() == file) {
      contentsList_->setCurrentRow(i);
      break;
    }
  }
  if (!searchField_->text().isEmpty()) findInPage(searchField_->text());
}

bool ReferenceWindow::findInPage(const QString& text) {
  if (browser_->find(text)) return true;
  browser_->moveCursor(QTextCursor::Start);  // wrap around to the top of the page
  return browser_->find(text);
}

bool ReferenceWindow::search(const QString& text) {
  bool first = true;
  QString firstPage;
  for (int i = 0; i < contentsList_->count(); ++i) {
    QListWidgetItem* item = contentsList_->item(i);
    const QString file = item->data(kFileRole).toString();
    const bool has = text.isEmpty() || pageText(file).contains(text, Qt::CaseInsensitive);
    item->setHidden(!has);
    if (has && first) {
      firstPage = file;
      first = false;
    }
  }
  bool found = text.isEmpty() || findInPage(text);
  if (!found && !firstPage.isEmpty()) {
    load(firstPage);
    found = findInPage(text);
  }
  searchStatus_->setText(found ? QString()
                               : QStringLiteral("Ничего не найдено: «%1» нет ни на одной странице справочника. "
                                                "Попробуйте часть слова или другое слово.")
                                     .arg(text));
  searchStatus_->setVisible(!found);
  return found;
}

}  // namespace marvo
