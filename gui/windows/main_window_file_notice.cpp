// The once-only notice that a data file is left alone because the tool may not read or write it.

#include <QMessageBox>

#include "host/qt/log_categories.h"
#include "host/qt/qt_text.h"
#include "mainwindow/texts.h"
#include "windows/app_profile_switcher.h"
#include "windows/main_window.h"

namespace tavrik::app {
void MainWindow::noticeDataFileTrouble() {
    noticeFileTrouble(m_context.paths.keymapFile());
    noticeFileTrouble(m_context.paths.macroFile());
    noticeAppRulesTrouble();
}

void MainWindow::noticeAppRulesTrouble() {
    const auto notice =
        m_appProfiles ? m_appProfiles->takeRulesNotice(m_context.language) : std::nullopt;
    if (!notice) return;
    qCWarning(lcFiles).noquote() << *notice;
    auto* box = new QMessageBox(QMessageBox::Warning,
                                qs(mainwindow::text::kNoticeCaption, m_context.language), *notice,
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

void MainWindow::noticeFileTrouble(const QString& file) {
    const Language lang = m_context.language;
    const auto notice = m_fileNotices.noticeFor(file.toStdString(), lang);
    if (!notice) return;
    const QString text = QString::fromStdString(*notice);
    qCWarning(lcFiles).noquote() << text;
    // Not modal: the tool goes on working in memory while the user reads it.
    auto* box = new QMessageBox(QMessageBox::Warning, qs(mainwindow::text::kNoticeCaption, lang),
                                text, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

}  // namespace tavrik::app
