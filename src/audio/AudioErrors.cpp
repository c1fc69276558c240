// The fixed error texts of the codec service and the wave output device.
#include "audio/AudioErrors.h"

QString acmErrorText(int code, const QString& caption) {
    const QString prefix = caption.isEmpty() ? QString() : caption + QStringLiteral("\r\n");
    const char* text = nullptr;
    switch (code) {
    case 2:
        text = "Bad device ID.";
        break;
    case 3:
        text = "Driver not enabled.";
        break;
    case 4:
        text = "Device already allocated.";
        break;
    case 5:
        text = "The specified handle is invalid.";
        break;
    case 6:
        text = "A suitable driver is not available to provide valid format selections.";
        break;
    case 7:
        text = "The system is unable to allocate resources.";
        break;
    case 8:
        text = "Function not supported.";
        break;
    case 10:
        text = "At least one flag is invalid.";
        break;
    case 11:
        text = "At least one parameter is invalid.";
        break;
    case 12:
        text = "Device handle in use.";
        break;
    case 32:
        text = "The selected audio format is not supported on this machine.";
        break;
    case 33:
        text = "Audio device is still playing.";
        break;
    case 34:
        text = "Cannot perform this action on a header that has not been prepared.";
        break;
    case 35:
        text = "Device is synchronous.";
        break;
    case 512:
        text = "The requested operation cannot be performed.";
        break;
    case 513:
        text = "The conversion stream is already in use.";
        break;
    case 514:
        text = "Cannot perform this action on a header that has not been prepared.";
        break;
    default:
        return prefix + QStringLiteral("An unexpected error has occurred (code #%1).").arg(code);
    }
    return prefix + QLatin1String(text);
}
