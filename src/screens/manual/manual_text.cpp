#include "screens/manual/manual_text.h"

namespace quillon::screens {

const char* manual_text() {
    return R"(QUILLON PROGRAM MANUAL

1. HOW QUILLON SITS OVER THE VIDEO

Quillon is laid over the video picture of the course. The Setup and Measure screens have a
magenta background: wherever a screen is magenta, the video shows through, so the lines and
marks that Quillon draws appear on the water itself. Do not expect to see magenta while the
video is running; if you do, the video is not reaching the screen. A still picture of the
course can stand in for the video on the Setup screen.

2. WHAT QUILLON IS FOR

Quillon measures how far the towboat strays from the ideal straight path through a slalom or
jump course. Officials use it to check that a record pass was driven within the record limit
(the boat path must stay within 20 cm of the ideal path), to test boats and drivers, and to
watch the boat path live from the end of the course during a tournament.

Four surveyed reference buoys (the two gates at the ends of the course) calibrate the camera:
once they are marked, Quillon knows where every point of the water surface lies on the screen.
During a pass you keep a vertical line on the centre of the boat, and every tenth of a second
Quillon stores how far that line is from the centre of the path at the boat's expected place.

3. THE SCREENS

START SCREEN
- Select Slalom or Jump.
- Speed: the slalom speeds (58 to 46 km/h) or the jump speeds (48 to 72 km/h). The metric
  speed is the official one; the speed sets how long a pass lasts.
- Line Length (slalom only): the tow-line length of the pass, shown in the report.
- Boat Direction: "Going away from Camera" or "Coming toward Camera". Jump passes always come
  toward the camera. After each slalom pass the direction is turned round for the next pass;
  correct it if the boat runs the same way twice.
- Boat manufacturer, model, driver and skier: type a name or pick one from the list. The Edit
  buttons open a small editor for each list, titled with the list's name: one name per line,
  then press Close/Save. Opening another list, or quitting, with names typed and not saved
  asks first; answer No to keep them.
- Tournament, Location, Date and Boat Number go into the report.
- Data Path for Results: the folder where reports and logs are written. Quillon checks that it
  can write there before it leaves this screen.
- Go To Setup opens the Setup screen. Measure opens the Measure screen once the setup is OK.

SETUP SCREEN (Grid Setup)
- Load a setup file (Load Setup Data File) for a course that was calibrated before, or mark the
  four gate buoys: choose a buoy under Gate Buoy Selection (upper left, upper right,
  lower left, lower right), click on the water line at the centre of that buoy, and nudge the
  mark one pixel at a time with the Micro-Adjust arrows. Lock Grid Buoys moves all four marks
  together. Cross Size sets the size of the marking crosses; drag its label, or the GRID
  LOCKED! sign, aside if it hides a buoy.
- The survey boxes hold the standard course (slalom gates 2.5 m wide and 259 m apart, jump
  gates 4 m wide and 280 m apart); change them only for a surveyed non-standard course.
- Press Complete to calibrate. The smiley face shows that the setup is complete. Any change
  to a box takes the smiley away until Complete is pressed again.
- The Grid 1 button steps through the stored calibrations (Grid 1, Grid 2). Complete and
  Load Setup Data File always store into Grid 1, and the Measure screen always measures with
  Grid 1; Grid 2 shows zeros until something is stored there.
- The two boxes along the top show the setup file's name and its description. Hide puts them
  away when they cover the picture; the button then reads Show and brings them back.
- Draw Buoys circles the marked buoys; Show Course puts crosses where the boat-guide buoys
  should be. If the crosses sit on the real buoys, the calibration is good.
- Accuracy shows how precise measurements are over the course (see Accuracy below). It works
  only while the setup is complete: after "No Unique Solution" it stays greyed until a good
  Complete or a loaded file.
- Save Data Setup File keeps the calibration for another day. The description may not hold a
  comma (the file keeps it without quotes, and a comma would split it when it is read back);
  Quillon says so and offers the text again to mend. A file name typed without an extension
  gets ".ipt". Exit returns to the Start screen.

Setup Picture. Without live video, a still picture of the course can stand behind the
Setup screen, and the buoys are marked on it just as on the video. Setup Picture > Load Picture
reads a picture file (.bmp, .gif or .jpg); a file that is not a whole picture is left alone.
Setup Picture > Clear Picture takes the picture away. Paste Picture from Clipboard takes the
picture that another program copied. A picture larger than the screen is shrunk to fit, its
shape kept; a smaller one is shown at its own size. Either way it starts at the top-left
corner. The picture is not saved in the setup file: load it again with the setup.

Accuracy. The Accuracy button works out, at 42 points of the course (seven across, six along),
how far apart on the water two neighbouring screen pixels are, writes the figures to the day's
accuracy file ("acc" with the month and day) in the results folder, and labels the points on
the screen. Under Accuracy, Advanced labels every point; Standard first draws six lines across
the course, numbered 1 to 6, asks for the line where the skier will land, and labels only the
seven points of that line. Under Display (Advanced only) choose what the labels show:
  Distance  the distance in metres from the point to the jump point;
  Detail    the metres on the water covered by one screen pixel at the point (.07 is 7 cm);
  Hom.Lvl   the homologation level the point reaches, as a code:
              R   one pixel covers 10 cm or less: good enough for a record (class R);
              L   more than 10 cm, up to 15 cm: good enough for class L;
              C   more than 15 cm, up to 20 cm: good enough for class C;
              NH  more than 20 cm: not good enough to homologate.
Standard always shows the codes. Clear Accuracy Values takes the labels away.

VIDEO MENU (Setup and Measure screens)
Quillon can show the video itself, under the magenta of its screens.
- Open Video File... plays a recorded pass from a file; Open Stream... takes a network camera
  address (rtsp://, udp://, tcp://, http://); Live Camera lists the cameras plugged in;
  No Video shows none. The source chosen last is opened again at the next start.
- Play / Pause (F5), Frame Back (F6) and Frame Forward (F7) drive a video file, and Speed plays
  it at 0.25x, 0.5x or 1x (Ctrl+1, Ctrl+2, Ctrl+3). The bar at the bottom of the screen has
  the same play button, a position bar to drag, the time and frame number, and a box where
  you type a time (2.1 or 0:02.100) and press Enter to go there.
- Grab Frame as Picture (F8, Setup screen) makes the frame on the screen the still picture,
  exactly where it was shown, so the buoys can be marked on a paused frame while the video
  moves on. Clear Picture brings the video back.
- Pass Clock (Measure screen, with a file open) chooses whether a pass is timed by the video
  itself (Video Time, the usual choice) or by the wall clock.

MEASURE SCREEN
- The white line is the measurement line; the short horizontal line marks where the boat
  should be at this moment of the pass.
- Move the line with the Left and Right arrow keys, a joystick or the mouse (Use Mouse). Up and
  Down shorten or lengthen the line.
- A joystick can be plugged in at any time. Leave it at rest while plugging it in: where it
  rests then puts the line on the centre of the path.
- Boat Edge Markers and Path Boundary Markers show the boat's width and the limits of the
  allowed path. Line colour, line style and boundary colour can be changed.
- View Only runs passes without going to the results, alternating direction each time.
- Hide Status Indicators clears the screen of everything but the lines.
- Abort Measurement or Return to Start leaves without using the pass.

RESULTS SCREEN
- Enter the split time, full time and a comment when asked.
- The report shows the skier and tournament details, the boat's mean and largest deviation
  from its best-fit path, the driver's deviation from the course centre, the share of time
  left, centre and right, and every sample.
- Save Result File writes the report to a file of your choice. Read and Display Results File
  draws a saved pass over the graph in a colour you choose.
- Return goes back to the Start screen for the next pass.

4. MEASURING A PASS

1. On the Start screen choose the discipline, speed, line length, direction and names.
2. Go To Setup; load the setup file of the course or mark the four buoys and press Complete.
   Check with Show Course, then Exit.
3. Press Measure. The line starts at the centre of the course where the boat enters it.
4. As the boat enters the course press Enter (or click Start Pass, or click the mouse with Use
   Mouse on). Keep the line on the pylon when the boat goes away from the camera, or on the
   windshield mark or hatch when it comes toward the camera.
5. When the pass is over, "Pass Completed" appears; close it to see the results.

5. WHAT THE RESULTS SCREEN SHOWS

The graph is a plan view of the course seen from above. The black line with red marks is the
measured path; the blue line is the best-fit path. The scale shows 24 cm on each side of the
centre line in slalom and 48 cm in jump. In slalom the red lines mark the 20 cm record limit:
a path that stays between them is within the record tolerance. The buoy numbers count from the
end of the course where the boat entered.

Every pass is also appended to the day's result log and database log in the results folder.
)";
}

}  // namespace quillon::screens
