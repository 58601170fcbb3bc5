#pragma once
// The map generator window: the built-in world map under the pointer, the
// choice of the map centre by click, typed locator or command line, and the
// generation of the azimuthal map that the viewer then shows.
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

#include "generator/image_widget.h"
#include "generator/projection.h"
#include "geo/geo.h"

namespace korvalen {

class TFormCarte : public QMainWindow {
    Q_OBJECT
public:
    /// Creation: reads the settings file, then the command-line locator
    /// (@p arguments without the program name).
    explicit TFormCarte(const QStringList& arguments);

    // Widgets, by the names the rest of the program and the tests use.
    ImageWidget* const ImageMercator;
    ImageWidget* const ImageORLAK;
    QLabel* const StaticText1;
    QLabel* const Label2;
    QLineEdit* const EditQRA;
    QPushButton* const BitBtn1;
    QLabel* const StaticTextPos;
    QProgressBar* const ProgressBarCalcul;
    QTimer* const TimerFinImage;
    QAction* const Menuquitter;
    QAction* const MenuVoir;
    QMenu* const MenuLangue;
    QAction* const MenuEnglish;
    QAction* const MenuFrancais;
    QAction* const MenuEspagnol;
    QAction* const MenuInfo;
    QAction* const MenuAide;

    // State owned here and read by the other windows.
    geo::Real CentreLatitude = 0;
    geo::Real CentreLongitude = 0;
    QString CentreText;
    bool GenerationBusy = false;
    bool LocatorPending = false;
    bool MapUnsaved = false;
    bool ReturnToViewer = false;
    bool LanguageLoading = false;
    QString LanguageCode;
    QString HelpFileName = QStringLiteral("Korvalen_EN.htm");
    QString PromptText;
    QString BusyText;
    /// User DX lines read from the settings file, kept until written back.
    QStringList MemoDX;
    QStringList MemoDXCB;

    /// The generation, as a click with @p button at world pixel (x, y) asks.
    void GenerateAzimuthalMap(Qt::MouseButton button, int x, int y);

    // Event handlers.
    void ImageMercatorMouseMove(int x, int y);
    void ImageORLAKMouseMove(int x, int y);
    void ImageMercatorMouseUp(Qt::MouseButton button, int x, int y);
    void BitBtn1Click();
    void MenuVoirClick();
    void MenuquitterClick();
    void MenuAideClick();
    void MenuInfoClick();
    void FormActivate();
    void TimerFinImageTimer();
    /// Brings up the map kept from the previous run, loaded at start.
    void ShowKeptMap();

    /// How many generations ran in this window's life.
    int GenerationCount() const { return generationCount_; }
    /// The time the last generation spent plotting, in milliseconds.
    double LastGenerationMs() const { return lastGenerationMs_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CheckCommandLineLocator(const QStringList& arguments);
    void FormPaint();

    generator::AzimuthalProjector projector_;
    double lastGenerationMs_ = 0;
    int generationCount_ = 0;
};

}  // namespace korvalen
