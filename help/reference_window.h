// The reference window: the pages of the language reference (Markdown built into the program) with
// contents, search across pages, back and forward, and links between pages.
#pragma once

#include <QDialog>
#include <QString>
#include <QUrl>

class QLineEdit;
class QListWidget;
class QTextBrowser;
class QToolButton;

class ReferenceWindow : public QDialog {
  Q_OBJECT

 public:
  explicit ReferenceWindow(QWidget* parent = nullptr);

  // Shows the page (a file name of docs/, such as "talk.md"; empty = the contents) and raises the
  // window. An unknown name shows the contents.
  void showPage(const QString& file);
  // The file name of the page on view.
  QString currentPage() const;
  // Keeps in the contents list only the pages whose text contains `text` (any letter case; empty =
  // all pages) and selects its first occurrence in the page on view, or on the first page that has
  // it. Returns whether the text was found.
  bool search(const QString& text);
  // The Markdown source of a built-in page, or an empty text when there is none.
  static QString pageText(const QString& file);

  QTextBrowser* browser = nullptr;
  QListWidget* contents = nullptr;
  QLineEdit* searchField = nullptr;
  QToolButton* backButton = nullptr;
  QToolButton* forwardButton = nullptr;

 private:
  void load(const QString& file);  // shows the page in the browser, not the window
  void openLink(const QUrl& url);
  void pageChanged(const QUrl& url);
  bool findInPage(const QString& text);
};
