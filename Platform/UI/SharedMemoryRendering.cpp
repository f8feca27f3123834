#include "Platform/UI/SharedMemoryRendering.h"

#include <QString>
#include <QtGlobal>

namespace {
const char bufferIntegration[] = "QT_WAYLAND_CLIENT_BUFFER_INTEGRATION";
QtMessageHandler passOn = nullptr;

// Qt reports the integration we left out as one it failed to load; that is no fault.
void dropBufferIntegrationNotice(QtMsgType type, const QMessageLogContext &context,
                                 const QString &message)
{
    const bool notice = qstrcmp(context.category, "qt.qpa.wayland") == 0 &&
                        (message.startsWith(QLatin1String("Failed to load client buffer")) ||
                         message.startsWith(QLatin1String("Available client buffer")));
    if (!notice)
        passOn(type, context, message);
}
} // namespace

void useSharedMemoryRendering()
{
    if (qEnvironmentVariableIsSet(bufferIntegration))
        return;
    qputenv(bufferIntegration, "none");
    passOn = qInstallMessageHandler(dropBufferIntegrationNotice);
}
