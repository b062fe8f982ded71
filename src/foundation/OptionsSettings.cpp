#include "foundation/OptionsSettings.h"

#include "foundation/IniFile.h"

namespace {

const QString effectSection = QStringLiteral("詳細設定：効果");
const QString fileSection = QStringLiteral("詳細設定：ファイル保存・転送");
const QString generalSection = QStringLiteral("詳細設定：一般");

void readEffects(const IniFile& file, EffectOptions& e)
{
    const auto value = [&file](const char* key, int fallback) {
        return file.readInteger(effectSection, QLatin1String(key), fallback);
    };
    e.oilBrush = value("Oil", e.oilBrush);
    e.canvasDepth = value("Canvas", e.canvasDepth);
    e.lensPower = value("Lens", e.lensPower);
    e.mosaicSize = value("Mosaic", e.mosaicSize);
    e.blurStrength = value("Blur", e.blurStrength);
    e.sharpness = value("Sharp", e.sharpness);
    e.rippleAmplitude = value("Ripple1", e.rippleAmplitude);
    e.rippleWavelength = value("Ripple2", e.rippleWavelength);
    e.ripplePhase = value("Ripple3", e.ripplePhase);
    e.wavesWavelength = value("Waves1", e.wavesWavelength);
    e.wavesAmplitude = value("Waves2", e.wavesAmplitude);
    e.wavesPhase = value("Waves3", e.wavesPhase);
    e.wavesHorizontal = file.readBool(effectSection, QStringLiteral("WavesH"), e.wavesHorizontal);
}

void readSaveFormat(const IniFile& file, ProgramOptions& options)
{
    // The last pressed button wins, as the buttons are loaded in this order.
    const std::pair<const char*, SaveFormatChoice> buttons[] = {{"JPEG", SaveFormatChoice::Jpeg},
                                                                {"GIF", SaveFormatChoice::Gif},
                                                                {"PNG", SaveFormatChoice::Png},
                                                                {"BMP", SaveFormatChoice::Bmp}};
    for (const auto& [key, choice] : buttons)
        if (file.readBool(fileSection, QLatin1String(key), choice == SaveFormatChoice::Jpeg))
            options.saveFormat = choice;
}

} // namespace

void OptionsSettings::read(const IniFile& file, ProgramOptions& options)
{
    readEffects(file, options.effects);
    readSaveFormat(file, options);
    options.dither = true;
    options.fixedPalette = false;
    options.useSocks = file.readBool(fileSection, QStringLiteral("Socks"), options.useSocks);
    options.socksServer = file.readString(fileSection, QStringLiteral("Server"), options.socksServer);
    options.socksPort = file.readString(fileSection, QStringLiteral("SockPort"), options.socksPort);
    options.socksUser = file.readString(fileSection, QStringLiteral("SockUser"), options.socksUser);
    options.socksPassword = file.readString(fileSection, QStringLiteral("SockPassword"), options.socksPassword);
    options.showGuides = file.readBool(generalSection, QStringLiteral("Guide"), options.showGuides);
    options.autoCheck = file.readBool(generalSection, QStringLiteral("AutoCheck"), options.autoCheck);
    options.useProxy = file.readBool(generalSection, QStringLiteral("InDirect"), options.useProxy);
    options.proxyHost = file.readString(generalSection, QStringLiteral("Proxy"), options.proxyHost);
    options.proxyPort = file.readString(generalSection, QStringLiteral("Port"), options.proxyPort);
    options.stayOnTop = file.readBool(generalSection, QStringLiteral("StayOnTop"), options.stayOnTop);
}
