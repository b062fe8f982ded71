#include "foundation/OptionsSettings.h"

#include "foundation/IniFile.h"

namespace {

const QString generalSection = QStringLiteral("詳細設定：一般");
const QString marginSection = QStringLiteral("詳細設定：画像の余白");
const QString effectSection = QStringLiteral("詳細設定：効果");
const QString fileSection = QStringLiteral("詳細設定：ファイル保存・転送");
const QString accountSection = QStringLiteral("詳細設定：KestrixNet");
const QString serviceSection = QStringLiteral("サービス");

struct EffectKey
{
    const char* key;
    int EffectOptions::*field;
};

// In the order the file holds them.
constexpr EffectKey effectKeys[] = {
    {"Oil", &EffectOptions::oilBrush},
    {"Canvas", &EffectOptions::canvasDepth},
    {"Lens", &EffectOptions::lensPower},
    {"Mosaic", &EffectOptions::mosaicSize},
    {"Blur", &EffectOptions::blurStrength},
    {"Sharp", &EffectOptions::sharpness},
    {"Ripple1", &EffectOptions::rippleAmplitude},
    {"Ripple2", &EffectOptions::rippleWavelength},
    {"Ripple3", &EffectOptions::ripplePhase},
    {"Waves1", &EffectOptions::wavesWavelength},
    {"Waves2", &EffectOptions::wavesAmplitude},
    {"Waves3", &EffectOptions::wavesPhase},
};

constexpr std::pair<const char*, SaveFormatChoice> formatKeys[] = {{"JPEG", SaveFormatChoice::Jpeg},
                                                                   {"GIF", SaveFormatChoice::Gif},
                                                                   {"PNG", SaveFormatChoice::Png},
                                                                   {"BMP", SaveFormatChoice::Bmp}};

QString key(const char* name)
{
    return QString::fromLatin1(name);
}

// Two radio buttons: the second on wins, then the first; both off keeps the old choice.
bool readRadioPair(const IniFile& file, const QString& section, const char* first, const char* second, bool secondWasOn)
{
    if (file.readBool(section, key(second), false))
        return true;
    if (file.readBool(section, key(first), true))
        return false;
    return secondWasOn;
}

void readGeneral(const IniFile& file, ProgramOptions& o)
{
    o.showGuides = file.readBool(generalSection, key("Guide"), false);
    o.guideColor = Qt::black;
    o.autoCheck = file.readBool(generalSection, key("AutoCheck"), false);
    o.useProxy = readRadioPair(file, generalSection, "Direct", "InDirect", o.useProxy);
    o.proxyHost = file.readString(generalSection, key("Proxy"));
    o.proxyPort = file.readString(generalSection, key("Port"));
    o.stayOnTop = file.readBool(generalSection, key("StayOnTop"), false);
}

void readEffects(const IniFile& file, EffectOptions& e)
{
    const EffectOptions defaults;
    for (const auto& [name, field] : effectKeys)
        e.*field = file.readInteger(effectSection, key(name), defaults.*field);
    e.wavesHorizontal = readRadioPair(file, effectSection, "WavesV", "WavesH", e.wavesHorizontal);
}

void readFileAndTransfer(const IniFile& file, ProgramOptions& o)
{
    // Pressing a button releases the others and releasing the pressed one does nothing, so the
    // last pressed in this order wins and none keeps the old one.
    for (const auto& [name, choice] : formatKeys)
        if (file.readBool(fileSection, key(name), choice == SaveFormatChoice::Jpeg))
            o.saveFormat = choice;
    o.dither = true;
    o.fixedPalette = false;
    o.useSocks = file.readBool(fileSection, key("Socks"), false);
    o.socksServer = file.readString(fileSection, key("Server"));
    o.socksPort = file.readString(fileSection, key("SockPort"));
    o.socksUser = file.readString(fileSection, key("SockUser"));
    o.socksPassword = file.readString(fileSection, key("SockPassword"));
}

void readServices(const IniFile& file, ServiceHosts& s)
{
    const ServiceHosts defaults;
    s.webHost = file.readString(serviceSection, key("WebHost"), defaults.webHost);
    s.ftpHost = file.readString(serviceSection, key("FtpHost"), defaults.ftpHost);
    // The address made from the web host is kept as "made from the web host".
    s.catalogueUrl = file.readString(serviceSection, key("CatalogueUrl"));
    if (s.catalogueUrl == ServiceHosts{s.webHost, {}, {}}.catalogueAddress())
        s.catalogueUrl.clear();
}

void writeColor(IniFile& file, const QString& section, const QString& name, const QColor& color)
{
    file.writeInteger(section, name, ColorValue::fromColor(color));
}

void writeGeneral(IniFile& file, const ProgramOptions& o)
{
    file.writeBool(generalSection, key("Guide"), o.showGuides);
    writeColor(file, generalSection, key("GuideColor"), o.guideColor);
    file.writeBool(generalSection, key("AutoCheck"), o.autoCheck);
    file.writeBool(generalSection, key("Direct"), !o.useProxy);
    file.writeBool(generalSection, key("InDirect"), o.useProxy);
    file.writeString(generalSection, key("Proxy"), o.proxyHost);
    file.writeString(generalSection, key("Port"), o.proxyPort);
    file.writeBool(generalSection, key("Hint"), false);
    file.writeBool(generalSection, key("Splash"), false);
    file.writeBool(generalSection, key("StayOnTop"), o.stayOnTop);
}

void writeMargin(IniFile& file, const ProgramOptions& o, const PlacementPanels& panels)
{
    writeColor(file, marginSection, key("MerginColor"), o.marginColor);
    for (int i = 0; i < PlacementPanels::Count; ++i) {
        file.writeInteger(marginSection, QStringLiteral("Mergin%1").arg(i), panels.background(i));
        file.writeInteger(marginSection, QStringLiteral("MgFont%1").arg(i), panels.caption(i));
    }
}

void writeEffects(IniFile& file, const EffectOptions& e)
{
    for (const auto& [name, field] : effectKeys)
        file.writeInteger(effectSection, key(name), e.*field);
    file.writeBool(effectSection, key("WavesV"), !e.wavesHorizontal);
    file.writeBool(effectSection, key("WavesH"), e.wavesHorizontal);
}

void writeFileAndTransfer(IniFile& file, const ProgramOptions& o)
{
    for (const auto& [name, choice] : formatKeys)
        file.writeBool(fileSection, key(name), o.saveFormat == choice);
    file.writeBool(fileSection, key("Dither"), o.dither);
    file.writeBool(fileSection, key("FixedPal"), o.fixedPalette);
    file.writeBool(fileSection, key("Internet"), true);
    file.writeBool(fileSection, key("Mail"), false);
    file.writeBool(fileSection, key("Socks"), o.useSocks);
    file.writeString(fileSection, key("Server"), o.socksServer);
    file.writeString(fileSection, key("SockPort"), o.socksPort);
    file.writeString(fileSection, key("SockUser"), o.socksUser);
    file.writeString(fileSection, key("SockPassword"), o.socksPassword);
}

} // namespace

void OptionsSettings::read(const IniFile& file, ProgramOptions& options)
{
    readGeneral(file, options);
    options.marginColor = Qt::white;
    options.placement = PlacementPanels::Centre;
    readEffects(file, options.effects);
    readFileAndTransfer(file, options);
    options.account.mailAddress = file.readString(accountSection, key("Address"));
    options.account.userId = file.readString(accountSection, key("UserID"));
    options.account.password = file.readString(accountSection, key("Password"));
    readServices(file, options.services);
}

void OptionsSettings::write(IniFile& file, const ProgramOptions& options, const PlacementPanels& panels)
{
    writeGeneral(file, options);
    writeMargin(file, options, panels);
    writeEffects(file, options.effects);
    writeFileAndTransfer(file, options);
    file.writeString(accountSection, key("Address"), options.account.mailAddress);
    file.writeString(accountSection, key("UserID"), options.account.userId);
    file.writeString(accountSection, key("Password"), options.account.password);
    file.writeString(serviceSection, key("WebHost"), options.services.webHost);
    file.writeString(serviceSection, key("FtpHost"), options.services.ftpHost);
    file.writeString(serviceSection, key("CatalogueUrl"), options.services.catalogueAddress());
}
