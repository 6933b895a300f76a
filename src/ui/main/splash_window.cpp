#include "ui/main/splash_window.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/pictures/pictures.h"

namespace trawler::ui {

TfrmSplash::TfrmSplash()
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName("frmSplash");
  setAttribute(Qt::WA_DeleteOnClose, false);
  auto *layout = new QVBoxLayout(this);
  auto *product = new QLabel(QStringLiteral("<h2>Trawler</h2>"), this);
  product->setAlignment(Qt::AlignCenter);
  auto *picture = new QLabel(this);
  picture->setPixmap(pictures::StatusPicture(3).pixmap(48, 48));
  picture->setAlignment(Qt::AlignCenter);
  FStatus = new QLabel(this);
  FStatus->setObjectName("lblStatus");
  FStatus->setWordWrap(true);
  FStatus->setAlignment(Qt::AlignCenter);
  layout->addWidget(product);
  layout->addWidget(picture);
  layout->addWidget(FStatus);
  setFixedSize(320, 180);
  if (const QScreen *screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  FCloseTimer = new QTimer(this);
  FCloseTimer->setSingleShot(true);
  FCloseTimer->setInterval(kCloseDelayMs);
  connect(FCloseTimer, &QTimer::timeout, this, &QWidget::close);
}

void TfrmSplash::SetStatus(const QString &text) {
  FStatus->setText(text);
  if (isVisible()) repaint();
}

QString TfrmSplash::Status() const { return FStatus->text(); }

void TfrmSplash::StartCloseTimer() { FCloseTimer->start(); }

}  // namespace trawler::ui
