#pragma once
// TSkinData: holds the skin file, decodes it, turns its INI into skin
// elements and publishes the options that decide what gets skinned.

#include "skin/SkinElements.h"

#include <QBrush>
#include <QByteArray>
#include <QColor>
#include <QIODevice>
#include <QImage>
#include <QList>
#include <QObject>
#include <QStringList>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class TQuickIni;
class TSkinReader;

class TSkinData : public QObject {
    Q_OBJECT
public:
    enum TSkinControlType {
        xcMainMenu,
        xcPopupMenu,
        xcMenuItem,
        xcToolbar,
        xcControlbar,
        xcCombo,
        xcCheckBox,
        xcRadioButton,
        xcProgress,
        xcScrollbar,
        xcEdit,
        xcButton,
        xcBitBtn,
        xcSpeedButton,
        xcSpin,
        xcPanel,
        xcGroupBox,
        xcStatusBar,
        xcTab,
        xcTrackBar,
        xcSystemMenu,
        xcFastReport
    };
    Q_ENUM(TSkinControlType)
    enum TSkinOption {
        xoMDIScrollbar,
        xoMenuMerge,
        xoTransparent,
        xoPreview,
        xoParentBackGround,
        xoNoFocusRect,
        xoToolbarBK,
        xoToolbarButton,
        xoMDIChildBorder,
        xoMenuBG,
        xoCaptionButtonHint,
        xoFormScrollbar
    };
    Q_ENUM(TSkinOption)
    enum TSkinFormType { sfMainform, sfOnlyThisForm, sfDialog, sfDLL };
    Q_ENUM(TSkinFormType)

    // Sets of the enums above, one bit per member (bit = 1 << member).
    using TSkinControlSet = quint32;
    using TSkinOptionSet = quint16;
    static constexpr TSkinControlSet Bit(TSkinControlType t) { return 1u << t; }
    static constexpr TSkinOptionSet Bit(TSkinOption o) { return static_cast<TSkinOptionSet>(1u << o); }
    static constexpr TSkinControlSet kAllControls = (1u << (xcFastReport + 1)) - 1;
    static constexpr TSkinControlSet kDefaultControls = kAllControls & ~((1u << xcMenuItem) | (1u << xcFastReport));
    static constexpr TSkinOptionSet kDefaultOptions =
        static_cast<TSkinOptionSet>((1u << xoPreview) | (1u << xoToolbarBK) | (1u << xoCaptionButtonHint));

    // Colour-table slots.
    enum ColourSlot {
        csWindowText = 0,
        csTitleTextActive = 1,
        csTitleTextNoActive = 2,
        csButtonFace = 3,
        csButtonText = 4,
        csButtonHilight = 5,
        csButtonlight = 6,
        csButtonShadow = 7,
        csButtonDkShadow = 8,
        csHilightText = 11,
        csHilight = 12,
        csMenubar = 13,
        csMenuBarText = 14,
        csMenuText = 15,
        csMenu = 16,
        csScrollbar = 18
    };
    static constexpr int kColourSlots = 19;
    // Width the combo strips give the arrow button (scroll-arrow width + 2).
    static constexpr int kScrollArrowWidth = 17;

    Q_PROPERTY(bool Active READ Active WRITE SetActive NOTIFY ActiveChanged)
    Q_PROPERTY(int DisableTag READ DisableTag WRITE SetDisableTag)
    Q_PROPERTY(quint32 SkinControls READ SkinControls WRITE SetSkinControls)
    Q_PROPERTY(quint16 Options READ Options WRITE SetOptions)
    Q_PROPERTY(QStringList Skin3rd READ Skin3rd WRITE SetSkin3rd)
    Q_PROPERTY(QString SkinFile READ SkinFile WRITE SetSkinFile)
    Q_PROPERTY(QString SkinStore READ SkinStore WRITE SetSkinStore)
    Q_PROPERTY(TSkinFormType SkinFormtype READ SkinFormtype WRITE SetSkinFormtype)
    Q_PROPERTY(QString Version READ Version WRITE SetVersion)
    Q_PROPERTY(bool MenuUpdate READ MenuUpdate WRITE SetMenuUpdate)
    Q_PROPERTY(bool MenuMerge READ MenuMerge WRITE SetMenuMerge)

    explicit TSkinData(QObject* owner = nullptr);
    ~TSkinData() override;

    // --- published properties
    bool Active() const { return active_; }
    void SetActive(bool value);
    int DisableTag() const { return disableTag_; }
    void SetDisableTag(int value) { disableTag_ = value; }
    TSkinControlSet SkinControls() const { return skinControls_; }
    void SetSkinControls(TSkinControlSet value) { skinControls_ = value & kAllControls; }
    bool HasControl(TSkinControlType t) const { return (skinControls_ & Bit(t)) != 0; }
    TSkinOptionSet Options() const { return options_; }
    void SetOptions(TSkinOptionSet value) { options_ = static_cast<TSkinOptionSet>(value & 0x0FFF); }
    bool HasOption(TSkinOption o) const { return (options_ & Bit(o)) != 0; }
    QStringList Skin3rd() const { return skin3rd_; }
    void SetSkin3rd(const QStringList& value) { skin3rd_ = value; }
    QString SkinFile() const { return skinFile_; }
    void SetSkinFile(const QString& fileName);
    QString SkinStore() const;
    void SetSkinStore(const QString&) {}
    TSkinFormType SkinFormtype() const { return formType_; }
    void SetSkinFormtype(TSkinFormType value) { formType_ = value; }
    QString Version() const { return QStringLiteral("1.0"); }
    void SetVersion(const QString&) {}
    bool MenuUpdate() const { return menuUpdate_; }
    void SetMenuUpdate(bool value) { menuUpdate_ = value; }
    bool MenuMerge() const { return menuMerge_; }
    void SetMenuMerge(bool value) { menuMerge_ = value; }

    // Host hooks; empty when not assigned.
    std::function<void(QObject* sender, const QString& aName, bool& doSkin)> OnFormSkin;
    std::function<void(QObject* sender, TSkinData* skinData, QObject* form, QObject* control,
                       const QString& controlClass, QObject*& skinnedControl)>
        OnSkinControl;
    std::function<void(QObject* sender, quintptr ahwnd, const QString& aName)> OnBeforeSkinForm;
    std::function<void(QObject* sender, quintptr ahwnd, const QString& aName)> OnAfterSkinForm;

    // --- the "SkinStream" payload: signed 32-bit length, then the skin file
    void ReadSkinStream(QIODevice& stream);
    void WriteSkinStream(QIODevice& stream) const;
    // Reads a payload from a file or resource path (":/skin/SkinStream.bin").
    bool ReadSkinStreamFrom(const QString& path);
    const QByteArray& HeldSkinFile() const { return skinFileBytes_; }
    void SetHeldSkinFile(const QByteArray& bytes) { skinFileBytes_ = bytes; }

    bool LoadSkinFromStore();
    // Parses a container that is already indexed (used by LoadSkinFromStore).
    void ParseSkin(const TSkinReader& reader);
    // Fills bitmap from the container entry an INI value names; only while
    // a skin is being loaded.
    void LoadSkinBitmap(QImage& bitmap, const QString& value) const;

    // After the owner has been built: a skin that is not ready turns Active
    // off; the menu kinds are reconciled.
    void Loaded();
    // Run by Loaded for every component: the skin manager registers it
    // there (the manager lives with the widget code).
    static void SetLoadedHook(std::function<void(TSkinData*)> hook);
    // Run first thing when a component is destroyed (it is still whole).
    static void SetDestroyedHook(std::function<void(TSkinData*)> hook);
    bool SkinNotReady() const { return notReady_; }
    bool Ready() const { return !notReady_; }

    // The may-skin check after the manager's first answer.
    bool MayBeSkinned(const QString& aName, bool firstAnswer);
    // Emits SkinChanged (the manager calls this after an action).
    void NotifySkinChanged() { emit SkinChanged(); }

    // --- parse results
    QString SkinName() const { return skinName_; }
    QColor Colour(int slot) const;
    bool ColourGiven(int slot) const;
    const QList<QColor>& SectionColours() const { return sectionColours_; }
    const QColor& CustomColour(int i) const { return customColours_[static_cast<size_t>(i < 0 || i > 9 ? 0 : i)]; }
    QColor BorderColour() const { return borderColour_; }
    const QBrush& FaceBrush() const { return faceBrush_; }
    QColor FaceColour() const { return Colour(csButtonFace); }

    TDataSkinButton* Buttons() const { return buttons_.get(); }
    TDataSkinBorder* Left() const { return left_.get(); }
    TDataSkinBorder* Right() const { return right_.get(); }
    TDataSkinBorder* Top() const { return top_.get(); }
    TDataSkinBorder* Bottom() const { return bottom_.get(); }
    TDataSkinTitle* Title() const { return title_.get(); }
    const std::vector<std::unique_ptr<TDataSkinSysButton>>& SysButtons() const { return sysButtons_; }
    // Optional elements by section name, ignoring case ("SunkEdge",
    // "ComboxArrow", "Toolbar", "MenuBar", ...); null when absent.
    TDataSkinObject* Element(const QString& name) const;
    template <class T>
    T* ElementAs(const QString& name) const
    {
        return dynamic_cast<T*>(Element(name));
    }

    // 16x16 menu glyphs: 0 restore, 1 maximize, 2 minimize, 3 close.
    const QImage& MenuGlyphs() const { return menuGlyphs_; }
    // The application's small icon on magenta.
    const QImage& IconBitmap() const { return iconBitmap_; }

signals:
    void ActiveChanged(bool active);
    // OnSkinChanged: after the manager has switched on, off or re-applied.
    void SkinChanged();
    // A skin file set at run time has been loaded; the manager re-applies.
    void SkinFileLoaded();

private:
    void ResetElements();
    void ParseBorders(const TQuickIni& ini);
    void ParseColours(const TQuickIni& ini, const QStringList& sections);
    void ParseCaptionButtons(const TQuickIni& ini, const QStringList& sections);
    void ParseButtons(const TQuickIni& ini);
    void ParseTitle(const TQuickIni& ini);
    void ParseElements(const TQuickIni& ini);
    void FixFrameCounts(const TQuickIni& ini);
    void BuildComboImages();
    void BuildComboxArrow();
    void BuildToolbar();
    void FinishParse();
    void SetElement(std::unique_ptr<TDataSkinObject> element);
    void ReadCommon(const TQuickIni& ini, TDataSkinObject& e, bool withFrame) const;

    bool active_ = false;
    int disableTag_ = 99;
    TSkinControlSet skinControls_ = kDefaultControls;
    TSkinOptionSet options_ = kDefaultOptions;
    QStringList skin3rd_;
    QString skinFile_;
    TSkinFormType formType_ = sfMainform;
    bool menuUpdate_ = true;
    bool menuMerge_ = false;
    bool reading_ = false;

    QByteArray skinFileBytes_;
    bool notReady_ = true;
    const TSkinReader* reader_ = nullptr; // only during a load

    QString skinName_;
    QColor colours_[kColourSlots];
    bool colourGiven_[kColourSlots] = {};
    QList<QColor> sectionColours_;
    std::array<QColor, 10> customColours_;
    QColor borderColour_;
    QBrush faceBrush_;
    QImage menuGlyphs_;
    QImage iconBitmap_;

    std::unique_ptr<TDataSkinButton> buttons_;
    std::unique_ptr<TDataSkinBorder> left_, right_, top_, bottom_;
    std::unique_ptr<TDataSkinTitle> title_;
    std::vector<std::unique_ptr<TDataSkinSysButton>> sysButtons_;
    std::map<QString, std::unique_ptr<TDataSkinObject>> elements_; // key: upper-case name
};
