#pragma once
// Small helpers shared by the dialog tests.

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QRegularExpression>
#include <QStyle>
#include <QTest>
#include <QWidget>

#include <vector>

// The named child of a dialog; the test fails when it is missing.
template <class Control>
Control* Child(QWidget& dialog, const char* name) {
  auto* control = dialog.findChild<Control*>(QLatin1String(name));
  if (!control) qWarning("no control named %s", name);
  return control;
}

// The widgets the Tab key visits, starting at the dialog's first focus.
inline std::vector<QWidget*> TabChain(QWidget& dialog, QWidget* first) {
  std::vector<QWidget*> chain;
  QWidget* at = first;
  do {
    if (at->focusPolicy() & Qt::TabFocus && at->isVisibleTo(&dialog) && at != &dialog) chain.push_back(at);
    at = at->nextInFocusChain();
  } while (at != first && chain.size() < 50);
  return chain;
}

// Every visible text of the dialog fits its control: none is cut off at the
// right or at the bottom.
inline QStringList ClippedTexts(QWidget& dialog) {
  QStringList clipped;
  for (QLabel* label : dialog.findChildren<QLabel*>()) {
    if (!label->isVisibleTo(&dialog) || label->text().isEmpty()) continue;
    const QFontMetrics metrics(label->font());
    if (metrics.horizontalAdvance(label->text()) > label->width() || metrics.height() > label->height()) {
      clipped << label->text();
    }
  }
  for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
    const QFontMetrics metrics(button->font());
    QString text = button->text();
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    int needed = metrics.horizontalAdvance(text);
    if (qobject_cast<QCheckBox*>(button)) {
      needed += button->style()->pixelMetric(QStyle::PM_IndicatorWidth) +
                button->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
    } else {
      needed += 8;  // the button's frame and a little air on each side
    }
    if (needed > button->width() || metrics.height() > button->height()) clipped << button->text();
  }
  return clipped;
}
