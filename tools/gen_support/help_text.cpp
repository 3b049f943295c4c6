#include "support_files.h"

namespace qshe::gen {
namespace {

constexpr const char* kHelp = R"(QSH EDITOR - HELP
=================

QSH Editor paints and arranges the sprites ("shapes") of the online game
Quorvane. A shape file (.qsh, or .qs2) holds a numbered list of small
pictures of at most 255 x 255 pixels in the game's 256-colour palette,
each with a placement offset. The editor opens and saves these files,
lets you paint every shape, and sets where each one stands in the game.

Shapes are numbered from 0. A new document has 20 empty shapes; a file
can hold up to 5000.


THE WINDOW
----------
Canvas (middle)      The current shape, shown on a 256 x 256 canvas. The
                     shape sits at the canvas's top-left corner. Scroll
                     bars and the arrow keys pan the view while it is
                     magnified.
Tools (left)         Line, rectangle and ellipse; below them pencil,
                     eraser, hand, eyedropper, select and paint bucket;
                     below those Center View, Second View, Zoom In and
                     Zoom Out.
Shapes (lower left)  The slider shows where the current shape lies in the
                     file, with "Shape n / last" above it. Click or drag
                     along it to move through the shapes. The four small
                     buttons below go back 8, back 1, forward 1 and
                     forward 8 shapes (the list wraps round at the ends).
Colours (right)      All 256 palette colours. Click or drag over them with
                     the left mouse button for the front colour (the L
                     swatch), with the right button for the back colour
                     (the R swatch). The numbers under the swatches are
                     the two palette numbers. Greyed colours cannot be
                     picked in the current colour set (Colors menu).
Background buttons   What shows through transparent pixels: light grey,
                     a checkerboard, or turquoise.
Pencil sizes         The six brush footprints of the pencil and eraser,
                     also used for lines and outlines.
Status bar (bottom)  Under the mouse: the canvas pixel as x, y from the
                     shape's top-left corner, its palette number and
                     colour, as index 123  (r, g, b); then the zoom
                     (1:1, x2 .. x16), the current shape and how many
                     there are, the shape's size, and "Modified" while
                     there are unsaved changes. Below, one line about the
                     last import or save, and the current tool with the
                     form it draws.

Resting the mouse on a toolbar button names it with its key.

Palette colour 0 is transparent. Colours 1-9 and 246-255 are reserved by
the system and are not part of the game's colours.

View > Window Scale shows the whole window 1 to 4 times as large, every
pixel a sharp block; menus, dialogs and their texts grow with it as far
as the screen has room. Drop a shape file from a file manager on the
window to open it; drop a BMP or PNG picture to put it on the canvas as
Import > Single picture does, or several pictures to add them as new
shapes after the current one.

The mouse wheel over the canvas scrolls the magnified view up and down,
with Shift (or a sideways wheel) left and right; Ctrl and the wheel zoom
in and out, keeping the pixel under the mouse in its place. Over the
shape slider the wheel goes to the next or previous shape. Dragging with
the middle button pans the magnified view like the hand, whatever the
tool.

File > Open Recent lists the last ten documents opened or saved; Clear
List empties it. The grid switch, the background and the folder each
file dialog was last left in are remembered for the next start.


TOOLS
-----
Pencil       Paint with the front colour (left button) or the back colour
             (right button) in the chosen pencil size.
Eraser       Make pixels transparent, in the chosen pencil size.
Hand         Drag the magnified view around.
Eyedropper   Take the front or back colour from the canvas. Holding Ctrl
             turns any tool into the eyedropper for as long as it is held.
Select       See SELECTION AND CLIPBOARD below.
Paint bucket Fill the connected area of one colour (edges, not corners,
             connect).
Line         Drag from one end to the other; the line lands when you let
             go. It has the pencil's steps and brush.
Rectangle    Drag from corner to corner. Press T (or click the button)
             again to switch between outlined and filled; the button and
             Tools > Filled Rectangles show which.
Ellipse      Drag across the box the ellipse fills; it touches all four
             sides. O again switches between outlined and filled (Tools >
             Filled Ellipses).

While you drag a line, rectangle or ellipse it is shown over the canvas
and follows the mouse; Escape takes it away. Hold Shift for lines at
multiples of 45 degrees, squares and circles. Parts dragged past the
canvas's edges are cut off. The left button draws in the front colour,
the right button in the back colour, and each figure is one undo step.
With the pencil or eraser, Shift+click draws a straight stroke from the
end of the last stroke to the clicked pixel.

Center View  Center the current shape in the magnified view.
Second View  Jump to the unmagnified view and back to the magnified one.
Zoom In/Out  Magnify 2, 4, 8 or 16 times, or show pixel for pixel.

Changes on the canvas are stored into the shape within four seconds and
whenever you move to another shape or save. When stored, empty rows at
the bottom and empty columns at the right are trimmed off the shape.
Undo takes back every change to the document, one step at a time and
across shapes: painting, pasting, moving and deleting pixels, the flips,
imports, adding, removing and swapping shapes, the presets, the property
boxes and the drags in the positioning windows. A step on another shape
shows that shape again. How far back it reaches depends only on memory
(256 MB unless the settings say otherwise); the history starts afresh
with New and Open. Undoing back to the state last saved leaves nothing
unsaved.


SELECTION AND CLIPBOARD
-----------------------
Drag with the select tool to lift a rectangle off the canvas; drag inside
it to move it, even partly past the edges. Click elsewhere, change tool
with the toolbar, zoom or save to put it down (pixels off the canvas are
lost). A drag with the right button only marks a rectangle.
Select All lifts the whole canvas; Delete empties the selection; Cut and
Copy put it on the desktop clipboard; Paste brings a picture from the
clipboard to the canvas's top-left corner as a selection. Other programs
get PNG and BMP pictures, transparent pixels in the key colour
(199, 144, 186); any picture they offer can be pasted, its colours
matched to the game's. Between windows of this editor the exact palette
numbers travel. Moving, cutting, deleting and pasting are undone like
strokes.


MENUS AND KEYS
--------------
Every menu entry, with its keys:

File      New                                   Ctrl+N
          Open...                               Ctrl+O
          Open Recent > 1 .. 0 (the last ten documents)
          Open Recent > Clear List
          Save                                  Ctrl+S
          Save As...
          Import > Single picture...            Ctrl+I
          Import > Single picture with settings...  Ctrl+Shift+I
          Import > Multiple pictures...
          Import > Picture collage...           Ctrl+U
          Export > Shape As Bitmap...           Ctrl+E
          Exit                                  Ctrl+Q

Edit      Undo                                  Ctrl+Z or U
          Redo                                  Ctrl+Y or Ctrl+Shift+Z
          Cut                                   Ctrl+X (select tool)
          Copy                                  Ctrl+C (select tool)
          Paste                                 Ctrl+V
          Select All                            Ctrl+A
          Add Shapes...
          Remove Shape
          Swap With...
          Duplicate Shape                       Ctrl+D
          Export Selected...    one picture per shape, <name>_<number>.png
          Flip Horizontal       turns the shape upside down
          Flip Vertical         mirrors the shape left to right
          Forecolor To Backcolor   replaces the front colour by the back
          Revert Shape From Last Saved Position

View      Shape Properties
          Jump Window
          Shape Position
          Tavrel Position (QBJ)
          Position Settings...
          Shapes                                V
          Animation                             P
          Show Grid While Zooming
          Onion Skin                            G
          Onion Skin Shows > Previous Shape, Next Shape or Both
          Window Scale > ×1, ×2, ×3, ×4      Ctrl++ or Ctrl+= larger,
                                                Ctrl+- smaller

Move      Next Shape                            + or =
          Previous Shape                        -
          Forward 8 Shapes                      . or PgDown (Page Down)
          Backward 8 Shapes                     , or PgUp (Page Up)
          First Shape                           Home
          Last Shape                            End

Preset    QBJ > 1 Import From .QBJ File...
          QBJ > 2 Set To Default FLOORS.QSH Properties
          QBJ > 3 Set To Default ITEM.QSH Properties
          QBJ > 4 Set To Default ITEM2.QSH Properties
          QBJ > 5 Set To Default WALL.QSH Properties (greyed: the
                editor has no values for it)
          Set Default QS2 Numbering
          The presets and the numbering ask first and change the object
          properties or replacement numbers of the first few hundred
          shapes to those of the game's standard files.

Tools     Pencil                                H
          Eraser                                J
          Hand                                  K
          Eyedropper                            B
          Select                                N
          Paint Bucket                          M
          Line                                  L
          Rectangle                             T (again: filled or
                                                outlined)
          Ellipse                               O (again: filled or
                                                outlined)
          Filled Rectangles
          Filled Ellipses
          Zoom In                               R
          Zoom Out                              F
          Center View                           E
          Second View                           D
          Change Background                     W
          Change Pencil Size                    S

Colors    All Colors (256)
          Quorvane Colors (236)                 Ctrl+1
          Badge Color                           (sets the front colour)
          Boot Colors                           Ctrl+2
          Bracer Colors                         Ctrl+3
          Cape Colors                           Ctrl+4
          Eye Color                             (sets the front colour)
          Fur Colors                            Ctrl+5
          Hair Colors                           Ctrl+6
          Marking Colors                        Ctrl+7
          Trouser Colors                        Ctrl+8
          Vest Colors                           Ctrl+9
          Each body-part set allows only its eight colours, which the game
          recolours for each player.

Help      Help...
          About

Keys without a menu entry:
          Left, Right, Up, Down                 pan the magnified canvas
          Escape                                takes back a line,
                                                rectangle or ellipse
                                                being dragged
          Delete                                empties the selection
                                                (select tool)

While one of the editor's own windows (Shape Properties, Insert Shapes
and the others) has the keyboard, the keys you type go to it: letters,
digits, signs, arrows, Tab, Enter, Escape, Space, Home, End, Page Up and
Page Down never reach the main window. Ctrl keys that the window does not
use itself (Ctrl+S, for example) still work.


SHAPE PROPERTIES AND POSITIONING
--------------------------------
The Shape Properties window shows the current shape's offsets and size,
its QS2 replacement number (the game shape it replaces) and its object
properties: gettable, sittable, walkable and where the player figure, the
Tavrel, stands. What you type is stored at once. Offsets and the Tavrel
position take -127 to 127, the replacement number 0 to 32767; anything
else is stored as 0 and its box is tinted, with the allowed range as its
tool tip. Only the boxes you change are stored: values a file holds that
no box would take (such as -128) stay as they are until you change them.

The Shape Position window shows the shape over a floor tile; drag in it
to change the offsets. The Tavrel Position window adds the figure; drag
to move the figure (this switches the document's QBJ properties on).
Position Settings can draw one more shape from any shape file behind the
current one.

The editor's windows open beside the main window where the screen has
room, never over the canvas, and open again where you left them.


ANIMATION AND ONION SKIN
------------------------
View > Animation (P) plays shapes as the frames of one animation, each
placed as the Shape Position window places it (over the floor tile and
the backdrop, optionally with the Tavrel figure), so the frames move as
they will in the game. It plays from First to Last (the current shape and
the seven after it when it opens; First after Last plays backwards), 1 to
60 frames a second, looping or back and forth. Space plays and pauses;
the buttons step to the first, previous, next and last frame. Editing
goes on while it plays; the shape you paint shows its new pixels within
four seconds. Its speed, order and switches are kept for the next start.

View > Onion Skin (G) shows the shape before and the shape after the
current one faintly behind it on the canvas: the one before in red on
every other pixel, the one after in blue on the pixels between, each
moved by the difference of its offsets so the frames line up as in the
game. They show only where the current shape is transparent, and only on
the screen: no tool, copy, file or recovery copy sees them. Onion Skin
Shows chooses the previous shape, the next shape or both.

THE SHAPES WINDOW
-----------------
View > Shapes (V) shows every shape of the file as a thumbnail with its
number (and its QS2 replacement number, in blue, when the QS2 switch is
on), on the canvas's background. Each pixel is a sharp block: a shape is
shown 1 to 4 times as large as fits its cell, a larger one with every
second (third, fourth) pixel. The cells grow with the window scale; the
current shape has a red frame, selected shapes a blue one.

  Click                  makes the shape current (the canvas is stored
                         in the shape you leave first)
  Shift+click, Ctrl+click   select a run, add or take away one shape
  Arrows, Page Up/Down, Home, End   move the current shape (Shift: select)
  Enter                  back to the main window
  Delete                 removes the selected shapes (one question)
  Ctrl+A                 selects every shape
  Ctrl+C                 copies the current shape's picture
  Ctrl+D                 duplicates the selected shapes
  Drag                   moves the selected shapes, in order, to where
                         the black bar shows, with all their properties
  Right button           Duplicate Shape, Remove, Export Selected..., Copy

Duplicate Shape puts copies of the selected shapes (or the current one)
right after the last of them. Export Selected... asks for a name in a
folder and writes each selected shape there as <name>_<number>.png (or
.bmp when you choose bitmaps); <name> is the file's name. Every one of
these is one step that Undo takes back. The window follows every change:
painting within four seconds (or when you switch shapes or click into the
window), imports, properties, undo and redo, New and Open.


FILES
-----
.qsh   Shape file: sizes, offsets and pixels.
.qs2   The same plus each shape's replacement number. When you save, the
       file type follows the file name; a document with replacement
       numbers saved under a .qsh name asks whether to write a .qs2 file
       instead.
.qbj   Object properties, kept beside the shape file under the same name.
       It is read with the shape file and written with it when the
       document has object properties.
.bmp   Windows bitmaps, and
.png   PNG pictures, for importing and exporting shapes.
.pcx   Picture collages to import (640 x 480, 8-bit; matched to the
       game palette, any size up to 4096 x 4096, as BMP and PNG sheets).

Saving writes the shape file and its side file to temporary files and
puts both in place only when everything was written; a damaged file, one
that is not a regular file, or one larger than any shape file can be is
refused with a message naming it.


IMPORTING AND EXPORTING PICTURES
--------------------------------
Single picture (Ctrl+I, or drop a picture on the window): a BMP or PNG
picture replaces the canvas, its top-left corner at the canvas's. First
the "Import picture" window shows the result in game colours, at its own
size and twice that, on the canvas view's background, with two choices:
  Transparency  "Automatic" (the default): colour 0 of a palettised
                picture, pixels with alpha 0 where the picture's alpha is
                used, else every pixel of the bottom-right pixel's colour.
                "None": no pixel becomes transparent. "This colour": every
                pixel of one colour; type it as #rrggbb or click it in a
                preview.
  Colours       "Nearest colour" (the default): each pixel the nearest
                game colour. "Ordered dither": a regular 8 x 8 pattern of
                two neighbouring colours. "Error diffusion": what each
                pixel misses is handed on to its neighbours, so gradients
                and photos keep their shades.
Dithering uses only the game colours 10..245, and no pixel becomes 0
except by the transparency choice. Import puts the picture on the canvas
(one undo step); Cancel changes nothing. The choices are remembered.
"Always use these settings" skips the window next time; File > Import >
Single picture with settings (Ctrl+Shift+I) always shows it. Bitmaps of
1, 4, 8, 16, 24 and 32 bits, compressed (RLE4, RLE8) or not, and PNG
pictures are read; a picture too large for a shape, or a damaged file,
is refused with a message naming it.

Multiple pictures: name the files with a pattern (? and * in the file
name, for example ~/art/tree*.bmp). Each file becomes one shape, in name
order, added as new shapes or replacing shapes from the place you choose,
with the same Transparency and Colours choices as a single picture, and
the offsets centred if you like. The whole import is one undo step.

Picture collage (Ctrl+U): a sheet on which each picture sits inside a
one-colour rectangular frame on a plain background. Every frame becomes
a shape, cropped to its visible pixels, with offsets taken from where
the picture sits in its frame. Sheet colours: the default, game colours
as stored, takes the sheet's colour numbers as they are (an 8-bit PCX
sheet of 640 x 480). "Match to the game palette" matches each colour
to the nearest game colour instead, for sheets drawn in any paint
program. PCX, BMP and PNG sheets up to 4096 x 4096 are read; a sheet
without a colour table (16, 24 or 32 bits) is always matched. The whole
import is one undo step.

Export (Ctrl+E): writes the current shape as an 8-bit Windows bitmap in
the game palette, or as a palettised PNG when the name ends in ".png".


RECOVERY
--------
While a document has unsaved changes, the editor keeps a copy of it in
the folder "recovery" of your data folder (on Linux usually
~/.local/share/QSH Editor/recovery), every 30 seconds while changes come
and when the window loses the focus. After a crash, a killed process or
a power cut the next start asks whether to restore the work: Yes opens
it under its old name, marked unsaved; No puts the copy aside in
recovery/discarded. A logout, a shutdown or a kill (SIGTERM, SIGHUP,
SIGINT) writes the copy at once before the editor ends. Saving, New,
Open, or Exit without saving removes the copy. The folder is used only
when it is your own and no one else may write in it; otherwise the editor
says once that it keeps no copies. QSHE_RECOVERY_SECONDS sets the
interval in seconds; 0 keeps no copies.


SETTINGS
--------
The editor remembers its window scale, where its windows were, and which
of its own windows were open, in ~/.config/qshe/qshe.conf. It looks for
its support files (qshe.pcx: the window's picture and the palette;
qshe.qsh: buttons, digits, floor tile and figure; and this help.txt) in
the game's default patch folder when the game names one, then in
patches/default below the program, beside the program, and in an
installed share/qshe.

Help > Help... opens this text in the desktop's text viewer, or, when
none can be started, in a window of the editor's own.


QSHE-TOOL
---------
qshe-tool does from the command line what the editor does to whole
files:

  qshe-tool info [--json] FILE        format, shape count, every shape
  qshe-tool convert IN OUT            QSH to QS2 and back, side file along
  qshe-tool import ... SHAPEFILE PICTURE...   pictures into shapes
  qshe-tool collage ... SHAPEFILE SHEET.pcx   cut a contact sheet
  qshe-tool export ... SHAPEFILE OUTDIR       shapes as BMP or PNG
  qshe-tool sheet export|import ...   a whole file as one PNG plus JSON

Run qshe-tool without arguments, or see its manual page, for the options.
)";

}  // namespace

std::string HelpText() {
  // Plain text with the line ends the system's text editor expects.
  std::string out;
  for (const char* p = kHelp; *p; ++p) {
    if (*p == '\n') out += '\r';
    out += *p;
  }
  return out;
}

}  // namespace qshe::gen
