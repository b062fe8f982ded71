#pragma once
// The options the options dialog edits and every feature reads at the moment it needs them.
#include <QtGui/QColor>

struct EffectOptions {
    int oilBrush = 10;      // csOil, 1..100
    int canvasDepth = 10;   // csCanvas, 0..255
    int lensPower = 10;     // csLens, 1..64
    int mosaicSize = 10;    // csMosaic, 1..255
    int blurStrength = 5;   // csBlur, 1..20
    int sharpness = 5;      // csSharp, 0..100
    int rippleAmplitude = 1;   // csRipple1, 1..100
    int rippleWavelength = 100; // csRipple2, 1..255
    int ripplePhase = 0;       // csRipple3, 0..100
    int wavesAmplitude = 25;   // csWaves2, 1..255
    int wavesWavelength = 50;  // csWaves1, 1..255
    int wavesPhase = 0;        // csWaves3, 0..100
    bool wavesHorizontal = false; // rbWaves1 ("横"); rbWaves0 ("縦") otherwise
};

enum class SaveFormatChoice { Jpeg, Gif, Png, Bmp };

struct ProgramOptions {
    bool showGuides = false;            // cbGuide
    QColor guideColor = Qt::black;      // stGuideColor
    bool autoCheck = false;             // cbAutoCheck
    bool useProxy = false;              // rbInDirect
    QString proxyHost;                  // edProxy
    QString proxyPort;                  // edPort
    bool stayOnTop = false;             // cbStayOnTop
    QColor marginColor = Qt::white;     // stMerginColor
    int placement = 4;                  // mg0..mg8, "中央"
    EffectOptions effects;
    SaveFormatChoice saveFormat = SaveFormatChoice::Jpeg; // sbJPEG..sbBMP
    bool dither = true;                 // cbDither: on at every start
    bool fixedPalette = false;          // cbFixedPal
    bool useSocks = false;              // cbSocks
    QString socksServer, socksPort, socksUser, socksPassword;
};
