#include "dialogs/AboutDlg.h"

#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QUrl>

#include "dialogs/DialogFrame.h"
#include "dialogs/DialogResources.h"
#include "dialogs/HomePage.h"

namespace {

QLabel* MakeTextLine(QWidget* parent, const QString& text) {
  auto* label = new QLabel(text, parent);
  // Shown as written: no markup, no mnemonic.
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

}  // namespace

QString MakerMailAddress() {
  QString host = QUrl(HomePageAddress()).host();
  if (host.isEmpty()) host = QStringLiteral("localhost");
  return QStringLiteral("kestrum@") + host;
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) { BuildControls(); }

void CAboutDlg::BuildControls() {
  using kestrum::Place;
  const kestrum::DialogUnits units = kestrum::PrepareDialog(*this, QStringLiteral("バージョン情報(kestrum)"), 171, 93);
  const int rightLimit = width() - units.ToPixelsX(7);

  // A static icon takes the icon's own size at its position. Loaded as an
  // icon, the file brings its drawing at twice the size (the @2x file) for
  // a scaled screen.
  kestrum::EnsureDialogResources();
  auto* icon = new QLabel(this);
  const QPixmap picture =
      QIcon(QStringLiteral(":/kestrum/kestrum-32.png")).pixmap(QSize(32, 32), devicePixelRatioF());
  icon->setPixmap(picture);
  icon->setGeometry(QRect(units.ToPixels(7, 9, 0, 0).topLeft(),
                          picture.isNull() ? QSize(32, 32) : picture.deviceIndependentSize().toSize()));

  auto* name = MakeTextLine(this, QStringLiteral("Kestrum for Windows Version 1.11"));
  Place(*name, units, 32, 12, 128, 8);
  auto* maker = MakeTextLine(this, QStringLiteral("Kestrum developers"));
  Place(*maker, units, 32, 25, 128, 8);
  ok_ = new QPushButton(QStringLiteral("OK"), this);
  Place(*ok_, units, 56, 72, 58, 14);
  auto* mail = MakeTextLine(this, QStringLiteral("E-Mail : ") + MakerMailAddress());
  Place(*mail, units, 32, 39, 128, 8);
  // "&" in an address must not turn into a mnemonic.
  QString address = HomePageAddress();
  homePage_ = new QPushButton(QStringLiteral("URL : ") + address.replace(QLatin1Char('&'), QStringLiteral("&&")), this);
  Place(*homePage_, units, 32, 51, 105, 14);
  homePage_->setToolTip(HomePageAddress());
  for (QWidget* line : {static_cast<QWidget*>(mail), static_cast<QWidget*>(homePage_)}) {
    kestrum::WidenToText(*line, rightLimit);
  }

  icon->setObjectName(QStringLiteral("icon"));
  name->setObjectName(QStringLiteral("name"));
  maker->setObjectName(QStringLiteral("maker"));
  mail->setObjectName(QStringLiteral("mail"));
  ok_->setObjectName(QStringLiteral("ok"));
  homePage_->setObjectName(QStringLiteral("homePage"));
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(homePage_, &QPushButton::clicked, this, [] { OpenHomePage(); });
  QWidget::setTabOrder(ok_, homePage_);
  ok_->setFocus();
}
