#include "platform/QtMessageFilter.h"

#include <QLoggingCategory>
#include <QString>
#include <QtGlobal>

#include <cstring>

namespace kestrum {
namespace {

// Qt 6.4 writes these with a plain qWarning, in no category of their own,
// and mostly from a later turn of the event loop, so the text is all there
// is to tell them by. Each is counted in a category named after its module,
// which the logging rules switch like any of Qt's own.
Q_LOGGING_CATEGORY(lcMultimediaBackend, "qt.multimedia.backend")
Q_LOGGING_CATEGORY(lcDesktopServices, "qt.desktopservices")

struct ModuleMessage {
  const char* start;
  const QLoggingCategory& (*category)();
};

constexpr ModuleMessage kModuleMessages[] = {
    {"PulseAudioService:", lcMultimediaBackend},
    {"No audio device detected", lcMultimediaBackend},
    {"Unable to detect a web browser to launch", lcDesktopServices},
};

QtMessageHandler previousHandler = nullptr;

const QLoggingCategory* ModuleOf(const QMessageLogContext& context, const QString& message) {
  if (context.category != nullptr && std::strcmp(context.category, "default") != 0) return nullptr;
  for (const ModuleMessage& known : kModuleMessages) {
    if (message.startsWith(QLatin1String(known.start))) return &known.category();
  }
  return nullptr;
}

void FilterModuleMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type != QtFatalMsg) {
    const QLoggingCategory* module = ModuleOf(context, message);
    if (module != nullptr && !module->isEnabled(type)) return;
  }
  if (previousHandler != nullptr) previousHandler(type, context, message);
}

}  // namespace

void QuietQtModuleMessages() {
  // Rules set here are overridden by QT_LOGGING_CONF and QT_LOGGING_RULES.
  QLoggingCategory::setFilterRules(QStringLiteral("qt.multimedia*=false\nqt.desktopservices*=false"));
  QtMessageHandler installed = qInstallMessageHandler(FilterModuleMessages);
  if (installed != FilterModuleMessages) previousHandler = installed;
}

}  // namespace kestrum
