' The Windows build's smoke program: draws two squares, saves the frame as
' a picture, keeps a line in a line file (written back when the program
' ends) and ends after one frame.
IF DOESFILEEXIST("smoke.txt") = 0 THEN CREATEFILE "smoke.txt"
PUTFILE "smoke.txt", 0, "written under Windows"
PUTFILE "smoke.txt", 1, 42
FILLRECT 0, 0, 100, 100, RGB(255, 0, 0)
FILLRECT 100, 0, 200, 100, RGB(0, 0, 255)
SAVEBMP "smoke.bmp"
SHOWSCREEN
END
