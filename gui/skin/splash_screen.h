#pragma once
// The splash screen shown modally while the main window initialises: a borderless dialog the
// size of SplashScreen.png (of the language folder) that closes itself after about one second.
// Its 20 ms timer closes it on the 52nd tick; the tick counter starts at 0 with the object and is
// never reset, so the object is meant to be shown once. A missing image leaves the dialog at its
// own size and it still closes on time.

#include <QBasicTimer>
#include <QDialog>
#include <QImage>

namespace tavrik::skin {

class SplashScreen : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTimerId = 1;
    static constexpr int kTickMs = 20;
    static constexpr int kLastQuietTick = 50;  // the counter value after which it closes

    // programFolder as from programFolder(); languageCode 4 selects png/chinese/.
    SplashScreen(const QString& programFolder, int languageCode, QWidget* parent = nullptr);

    int ticks() const { return m_ticks; }
    const QImage& image() const { return m_image; }

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QImage m_image;
    QBasicTimer m_timer;
    int m_ticks = 0;
};

}  // namespace tavrik::skin
