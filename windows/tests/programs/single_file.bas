' Built with --single-file and started alone in a folder: the picture, the
' sound and the line file it loads can only come from the archive inside
' its own .exe. It writes what it read and the frame with the picture
' beside itself, plays the sound once and ends after one frame.
LOADSPRITE "green.bmp", 1
SPRITE 1, 40, 40
LOADSOUND "blip.wav", 0, 1
PLAYSOUND 0, 0, 1
GETFILE "words.txt", 0, words$
IF DOESFILEEXIST("found.txt") = 0 THEN CREATEFILE "found.txt"
PUTFILE "found.txt", 0, words$
SAVEBMP "found.bmp"
SHOWSCREEN
END
