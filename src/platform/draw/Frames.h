#pragma once
// Three-dimensional edges and the classic frame controls (push buttons, check boxes, radio
// buttons, scroll and combo arrows), drawn by us in the classic look with the system colours.
// Flags and values are the platform's.
//
// DrawEdge colours, top/left over bottom/right (the bottom/right colour takes the two mixed
// corners):
//   raised outer   cl3DLight / cl3DDkShadow       (BF_SOFT: clBtnHighlight / cl3DDkShadow)
//   raised inner   clBtnHighlight / clBtnShadow   (BF_SOFT: cl3DLight / clBtnShadow)
//   sunken outer   clBtnShadow / clBtnHighlight   (BF_SOFT: cl3DDkShadow / clBtnHighlight)
//   sunken inner   cl3DDkShadow / cl3DLight       (BF_SOFT: clBtnShadow / cl3DLight)
// BF_FLAT draws the outer ring in clBtnShadow and the inner one in clBtnFace all round, BF_MONO
// the outer ring in clWindowFrame and the inner one in clWindow. Each ring takes one pixel on
// every side it is drawn on; BF_MIDDLE fills the rest with clBtnFace (clWindow with BF_MONO)
// and BF_ADJUST leaves the rect as that rest. Diagonal edges are not drawn (false).
//
// Frame controls:
//   DFC_BUTTON + DFCS_BUTTONPUSH: a soft raised edge on clBtnFace; pushed or checked a sunken
//     frame (cl3DDkShadow outside, clBtnShadow inside); DFCS_FLAT a one-pixel clBtnShadow frame
//     (a thin raised edge when DFCS_HOT and not pushed); DFCS_MONO a clWindowFrame frame.
//   DFC_BUTTON + DFCS_BUTTONCHECK / DFCS_BUTTON3STATE: a square of the rect's smaller side,
//     centred, with a sunken edge (DFCS_FLAT: clBtnShadow frame, DFCS_MONO: clWindowFrame) on
//     clWindow (clBtnFace when pushed, inactive, or a checked three-state box); checked shows
//     the 7 x 7 check mark in clWindowText (clBtnShadow when inactive or three-state). For the
//     13 x 13 box of the grid the mark covers x and y 3..9.
//   DFC_BUTTON + DFCS_BUTTONRADIO: a circle in that square with the sunken edge's colours split
//     along the diagonal, a dot of a third of its size when checked.
//   DFC_SCROLL + DFCS_SCROLLUP/DOWN/LEFT/RIGHT/COMBOBOX: a push-button face (pushed: flat
//     clBtnShadow frame, arrow one pixel down and right) with a filled triangle in clBtnText;
//     inactive, the triangle is embossed in clBtnHighlight and clBtnShadow. The triangle's
//     height is a quarter of the smaller side (at least 2): 7 pixels wide and 4 high in 16.
// DFCS_TRANSPARENT leaves the middle unfilled; DFCS_ADJUSTRECT (push buttons) leaves the rect
// as the button's inside. Other kinds draw nothing and answer false.
#include "platform/draw/Canvas.h"

namespace platform {

constexpr unsigned BDR_RAISEDOUTER = 0x1;
constexpr unsigned BDR_SUNKENOUTER = 0x2;
constexpr unsigned BDR_RAISEDINNER = 0x4;
constexpr unsigned BDR_SUNKENINNER = 0x8;
constexpr unsigned BDR_OUTER = BDR_RAISEDOUTER | BDR_SUNKENOUTER;
constexpr unsigned BDR_INNER = BDR_RAISEDINNER | BDR_SUNKENINNER;
constexpr unsigned BDR_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr unsigned BDR_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr unsigned EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr unsigned EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr unsigned EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
constexpr unsigned EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;

constexpr unsigned BF_LEFT = 0x1;
constexpr unsigned BF_TOP = 0x2;
constexpr unsigned BF_RIGHT = 0x4;
constexpr unsigned BF_BOTTOM = 0x8;
constexpr unsigned BF_TOPLEFT = BF_TOP | BF_LEFT;
constexpr unsigned BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
constexpr unsigned BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
constexpr unsigned BF_DIAGONAL = 0x10;
constexpr unsigned BF_MIDDLE = 0x800;
constexpr unsigned BF_SOFT = 0x1000;
constexpr unsigned BF_ADJUST = 0x2000;
constexpr unsigned BF_FLAT = 0x4000;
constexpr unsigned BF_MONO = 0x8000;

constexpr unsigned DFC_CAPTION = 1;
constexpr unsigned DFC_MENU = 2;
constexpr unsigned DFC_SCROLL = 3;
constexpr unsigned DFC_BUTTON = 4;

constexpr unsigned DFCS_BUTTONCHECK = 0x0000;
constexpr unsigned DFCS_BUTTONRADIOIMAGE = 0x0001;
constexpr unsigned DFCS_BUTTONRADIOMASK = 0x0002;
constexpr unsigned DFCS_BUTTONRADIO = 0x0004;
constexpr unsigned DFCS_BUTTON3STATE = 0x0008;
constexpr unsigned DFCS_BUTTONPUSH = 0x0010;
constexpr unsigned DFCS_SCROLLUP = 0x0000;
constexpr unsigned DFCS_SCROLLDOWN = 0x0001;
constexpr unsigned DFCS_SCROLLLEFT = 0x0002;
constexpr unsigned DFCS_SCROLLRIGHT = 0x0003;
constexpr unsigned DFCS_SCROLLCOMBOBOX = 0x0005;
constexpr unsigned DFCS_INACTIVE = 0x0100;
constexpr unsigned DFCS_PUSHED = 0x0200;
constexpr unsigned DFCS_CHECKED = 0x0400;
constexpr unsigned DFCS_TRANSPARENT = 0x0800;
constexpr unsigned DFCS_HOT = 0x1000;
constexpr unsigned DFCS_ADJUSTRECT = 0x2000;
constexpr unsigned DFCS_FLAT = 0x4000;
constexpr unsigned DFCS_MONO = 0x8000;

// Draws the edge inside r; with BF_ADJUST r becomes what is left inside it.
bool DrawEdge(Canvas& canvas, Rect& r, unsigned edge, unsigned flags);
// Draws the frame control filling r; see the header comment.
bool DrawFrameControl(Canvas& canvas, Rect& r, unsigned type, unsigned state);

} // namespace platform
