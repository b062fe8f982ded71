#pragma once
// The options the options dialog edits and every feature reads at the moment it needs them.
#include <QtCore/QString>
#include <QtGui/QColor>

struct EffectOptions
{
    int oilBrush = 10;            // csOil, 1..100
    int canvasDepth = 10;         // csCanvas, 0..255
    int lensPower = 10;           // csLens, 1..64
    int mosaicSize = 10;          // csMosaic, 1..255
    int blurStrength = 5;         // csBlur, 1..20
    int sharpness = 5;            // csSharp, 0..100
    int rippleAmplitude = 1;      // csRipple1, 1..100
    int rippleWavelength = 100;   // csRipple2, 1..255
    int ripplePhase = 0;          // csRipple3, 0..100
    int wavesAmplitude = 25;      // csWaves2, 1..255
    int wavesWavelength = 50;     // csWaves1, 1..255
    int wavesPhase = 0;           // csWaves3, 0..100
    bool wavesHorizontal = false; // rbWaves1 ("横"); rbWaves0 ("縦") otherwise
    bool operator==(const EffectOptions&) const = default;
};

// The member account of the web service (edJEXaddress, edJEXuid, edJEXpass): the main window's copy,
// which the options dialog's fields update as they are typed.
struct MemberAccount
{
    QString mailAddress;
    QString userId;
    QString password;
    bool complete() const { return !mailAddress.isEmpty() && !userId.isEmpty() && !password.isEmpty(); }
    bool operator==(const MemberAccount&) const = default;
};

// The web service's hosts, from the settings section "サービス". Nothing under a real stranger's name.
struct ServiceHosts
{
    QString webHost = QStringLiteral("http://www.kestrixnet.example"); // scheme, host, optional port
    QString ftpHost = QStringLiteral("ftp.kestrixnet.example");        // host, optional ":port" (21)
    QString catalogueUrl;                                              // empty: webHost + "/data/mp_dat.sys"
    QString catalogueAddress() const
    {
        return catalogueUrl.isEmpty() ? webHost + QStringLiteral("/data/mp_dat.sys") : catalogueUrl;
    }
    bool operator==(const ServiceHosts&) const = default;
};

enum class SaveFormatChoice { Jpeg, Gif, Png, Bmp };

struct ProgramOptions
{
    bool showGuides = false;        // cbGuide
    QColor guideColor = Qt::black;  // stGuideColor
    bool autoCheck = false;         // cbAutoCheck
    bool useProxy = false;          // rbInDirect
    QString proxyHost;              // edProxy
    QString proxyPort;              // edPort
    bool stayOnTop = false;         // cbStayOnTop
    QColor marginColor = Qt::white; // stMerginColor
    int placement = 4;              // mg0..mg8, "中央"
    EffectOptions effects;
    SaveFormatChoice saveFormat = SaveFormatChoice::Jpeg; // sbJPEG..sbBMP
    bool dither = true;                                   // cbDither: on at every start
    bool fixedPalette = false;                            // cbFixedPal
    bool useSocks = false;                                // cbSocks
    QString socksServer, socksPort, socksUser, socksPassword;
    MemberAccount account;
    ServiceHosts services;
    bool operator==(const ProgramOptions&) const = default;
};
