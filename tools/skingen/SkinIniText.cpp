#include "SkinIniText.h"

QByteArray ShippedSkinIniText()
{
    static const char text[] = R"INI(; Vostrel gatehouse skin: light warm faces, dark olive text, olive title.
[TitlebarSkin]
SkinName=Vostrel Olive

[Personality]
; Window edges. Top and bottom frames lie one under the other
; (active, then inactive); the side edges' frames lie side by side.
Top=top.bmp
TopTopHeight=8
TopBotHeight=8
TopFrame=2
TopStretch=1
TopTrans=1
Left=left.bmp
LeftTopHeight=28
LeftBotHeight=4
LeftFrame=2
LeftStretch=1
LeftTrans=1
Right=right.bmp
RightTopHeight=28
RightBotHeight=4
RightFrame=2
RightStretch=1
RightTrans=1
Bottom=bottom.bmp
BottomTopHeight=4
BottomBotHeight=4
BottomFrame=2
BottomStretch=1
BottomTrans=0
; Caption text on its text-back
TextBack=textback.bmp
Textbackground=1
TXTBackleft=6
TXTBackRight=6
TextShift=26
TextShiftVert=0
TextRightClip=70
TextAlignment=0
ActiveTextR=255
ActiveTextG=255
ActiveTextB=255
InActiveTextR=236
InActiveTextG=236
InActiveTextB=228
menuBar=menubar.bmp
TileMenu=0
TileLeftMenu=2
TileRightMenu=2

[Fonts]
FontHeight=14

[Colours]
WindowText=36 40 26
ButtonFace=236 234 226
Scrollbar=222 220 210
HilightText=255 255 255
Hilight=104 120 54
Menubar=236 234 226
Menu=246 245 240
MenuText=36 40 26
ButtonText=36 40 26
ButtonHilight=255 255 255
Buttonlight=246 245 240
ButtonShadow=160 158 146
ButtonDkShadow=96 98 84
MenuBarText=36 40 26
TitleTextActive=255 255 255
TitleTextNoActive=236 236 228

[Customcolors]
Color0=104 120 54
Color1=126 138 76
Color2=206 214 170
Color3=236 234 226
Color4=160 158 146

; Caption buttons: Action 0 close, 1 maximize/restore, 2 minimize,
; 3 system menu (the window icon). Align 1 counts from the right edge.
[Button0]
Action=0
Align=1
Xcoord=24
Ycoord=5
Visibility=0
ButtonImage=close.bmp
Frame=4

[Button1]
Action=1
Align=1
Xcoord=44
Ycoord=5
Visibility=2
Visibility1=6
ButtonImage=maximize.bmp
Frame=4

[Button2]
Action=1
Align=1
Xcoord=44
Ycoord=5
Visibility=1
Visibility1=6
ButtonImage=restore.bmp
Frame=4

[Button3]
Action=2
Align=1
Xcoord=64
Ycoord=5
Visibility=6
Visibility1=0
ButtonImage=minimize.bmp
Frame=4

[Button4]
Action=3
Align=0
Xcoord=6
Ycoord=5
Visibility=0
ButtonImage=iconbutton.bmp
Frame=1

[MDICONTROLS]
Image=mdicontrols.bmp

; Push buttons: frames normal, pressed, disabled, hot, focused.
[Buttons]
Bitmap=button.bmp
LeftWidth=4
RightWidth=4
TopHeight=4
BottomHeight=4
Trans=1
Tile=0
CheckButton=check.bmp
RadioButton=radio.bmp
NormalColour2=36 40 26
MouseOverColour2=36 40 26
PressedColour2=36 40 26

[GroupBoxEdge]
Image=groupboxedge.bmp
LeftWidth=4
RightWidth=4
TopHeight=4
BottomHeight=4
Trans=1

; Tabs: frames normal, selected, hot, disabled, selected inactive.
[Tabs]
Image=tabs.bmp
Border=tabborder.bmp
Style=0
LeftWidth=4
RightWidth=4
TopHeight=4
BottomHeight=2
Trans=1
NormalColour2=36 40 26
MouseOverColour2=36 40 26

[Tab.Pane]
Image=tabpane.bmp
LeftWidth=4
RightWidth=4
TopHeight=4
BottomHeight=4

; Status panels: lowered, raised, flat.
[StatusBarEdges]
Image=statusbar.bmp
LeftWidth=2
RightWidth=2
TopHeight=2
BottomHeight=2
NormalColour2=36 40 26

; Edit and combo fields: normal, pressed, disabled, focused.
[SunkEdge]
Image=sunkedge.bmp
LeftWidth=2
RightWidth=2
TopHeight=2
BottomHeight=2

[ComboButton]
Image=combobutton.bmp
LeftWidth=2
RightWidth=2
TopHeight=2
BottomHeight=2
Trans=1

; Frames 1-4 the combo arrow, 5 the size grip.
[ExtraImages]
Image=extraimages.bmp
Trans=1

[Headerbar]
Image=headerbar.bmp
LeftWidth=2
RightWidth=2
TopHeight=2
BottomHeight=2
NormalColour2=36 40 26

; Menu items: normal, separator, disabled, selected, checked.
[MenuItem]
Image=menuitem.bmp
LeftWidth=4
RightWidth=4
TopHeight=3
BottomHeight=3
Trans=1
NormalColour2=36 40 26
MouseOverColour2=36 40 26

[MenuBackground]
Image=menubackground.bmp
LeftWidth=3
RightWidth=3
TopHeight=3
BottomHeight=3

; Scroll bars: 23 frames of 17 x 17: arrows up, down, left, right, each
; normal, hot, pressed, disabled; tracks; thumbs; thumbs hot; size box.
[Scrollbar]
Image=scrollbar.bmp

[HorzScroll]
Image=horzscroll.bmp
LeftWidth=3
RightWidth=3

[VertScroll]
Image=vertscroll.bmp
TopHeight=3
BottomHeight=3

[HorzScrollThumb]
Image=horzthumb.bmp
FrameCount=3
LeftWidth=4
RightWidth=4
TopHeight=3
BottomHeight=3
Trans=1

[VertScrollThumb]
Image=vertthumb.bmp
FrameCount=3
LeftWidth=3
RightWidth=3
TopHeight=4
BottomHeight=4
Trans=1

; Track-bar thumbs: normal, hot, pressed, disabled, focused.
[Trackbar.ThumbHorz]
Image=thumbhorz.bmp
Trans=1

[Trackbar.ThumbVert]
Image=thumbvert.bmp
Trans=1

[Trackbar.ThumbLeft]
Image=thumbleft.bmp
Trans=1

[Trackbar.ThumbRight]
Image=thumbright.bmp
Trans=1

[Trackbar.ThumbUp]
Image=thumbup.bmp
Trans=1

[Trackbar.ThumbDown]
Image=thumbdown.bmp
Trans=1

; Spin buttons: first arrow normal, hot, pressed, disabled, then the second.
[UpDown.Horz]
Image=updownhorz.bmp
LeftWidth=2
RightWidth=2
TopHeight=2
BottomHeight=2

[UpDown.Vert]
Image=updownvert.bmp
LeftWidth=2
RightWidth=2
TopHeight=2
BottomHeight=2

[Progress]
Bitmap=progress.bmp
Style=0
LeftWidth=3
RightWidth=3
TopHeight=3
BottomHeight=3

[Progress.Chunk]
Image=progresschunk.bmp
Frame=1
Tile=1
)INI";
    QByteArray out(text);
    out.replace("\n", "\r\n");
    return out;
}
