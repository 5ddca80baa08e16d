#include "dialogs/AboutDlg.h"

#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QUrl>

#include <algorithm>

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

// The room a push button's text leaves on each side: one average character
// of the dialog font (4 dialog units), what the program's other buttons
// have at the least.
constexpr int kButtonTextMarginUnits = 4;

// A button whose text is wider than its rectangle allows with those margins
// grows to the right, then to the left, up to the limits; an address too
// long even for that is shortened in the middle (the tool tip keeps it
// whole). The text is shown as written: "&" makes no mnemonic.
void FitButtonText(QPushButton& button, const QString& text, const kestrum::DialogUnits& units, int leftLimit,
                   int rightLimit) {
  const auto shown = [](QString plain) { return plain.replace(QLatin1Char('&'), QStringLiteral("&&")); };
  button.ensurePolished();
  const QFontMetrics metrics = button.fontMetrics();
  const int margins = 2 * units.ToPixelsX(kButtonTextMarginUnits);
  const int needed = std::max(button.sizeHint().width(), metrics.horizontalAdvance(text) + margins);
  if (needed > button.width()) {
    const int right = std::min(rightLimit, button.x() + needed);
    const int left = std::max(leftLimit, std::min(button.x(), right - needed));
    button.setGeometry(left, button.y(), right - left, button.height());
  }
  const int room = button.width() - margins;
  button.setText(shown(metrics.horizontalAdvance(text) <= room ? text
                                                              : metrics.elidedText(text, Qt::ElideMiddle, room)));
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
  homePage_ = new QPushButton(QStringLiteral("URL : "), this);
  Place(*homePage_, units, 32, 51, 105, 14);
  homePage_->setToolTip(HomePageAddress());
  kestrum::WidenToText(*mail, rightLimit);
  FitButtonText(*homePage_, QStringLiteral("URL : ") + HomePageAddress(), units, units.ToPixelsX(7), rightLimit);

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
