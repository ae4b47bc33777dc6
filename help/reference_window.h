// The reference window: the language reference built into the program, with contents, search and links.
#pragma once

#include <QDialog>
#include <QString>
#include <QUrl>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QTextBrowser;
class QToolButton;

namespace marvo {

// Shows the pages of the language reference (Markdown) with a contents list, search across pages,
// back and forward, and links between pages.
class ReferenceWindow : public QDialog {
  Q_OBJECT

 public:
  explicit ReferenceWindow(QWidget* parent = nullptr);

  // The file name of the page on view.
  QString currentPage() const;
  // The Markdown source of a built-in page, or an empty text when there is none.
  static QString pageText(const QString& file);

  QTextBrowser* browser() const { return browser_; }
  // One item a page, in reading order; an item's Qt::UserRole data is its page's file name.
  QListWidget* contentsList() const { return contentsList_; }
  QToolButton* backButton() const { return backButton_; }
  QToolButton* forwardButton() const { return forwardButton_; }
  // Says when the last search found nothing (hidden otherwise).
  QLabel* searchStatus() const { return searchStatus_; }

 public slots:
  // Shows the page (a file name of docs/, such as "talk.md"; empty = the contents) and raises the
  // window. An unknown name shows the contents.
  void showPage(const QString& file);
  // Keeps in the contents list only the pages whose text contains `text` (any letter case; empty =
  // all pages) and selects its first occurrence in the page on view, or on the first page that has
  // it. Returns whether the text was found; when not, the window says so under the search field.
  bool search(const QString& text);

 private slots:
  void showContents();
  void showListedPage(QListWidgetItem* item);
  void searchTyped();
  void openLink(const QUrl& url);
  void pageChanged(const QUrl& url);

 private:
  void load(const QString& file);  // shows the page in the browser, not the window
  bool findInPage(const QString& text);

  QTextBrowser* browser_ = nullptr;
  QListWidget* contentsList_ = nullptr;
  QLineEdit* searchField_ = nullptr;
  QLabel* searchStatus_ = nullptr;
  QToolButton* backButton_ = nullptr;
  QToolButton* forwardButton_ = nullptr;
};

}  // namespace marvo
