' ==================================================
'  Zorvelin - das fertige Spiel
' ==================================================
'
' Die Katze Zorvelin sammelt auf einer Landschaft von
' 30 x 22 Feldern (960 x 704 Pixel) die neun Flaggen
' eines Levels ein. Waechter jagen sie. Fuenf Level
' sind ein Spiel, drei Leben gelten fuer alle Level.
'
' Tasten: Pfeiltasten laufen, M schaltet die Musik,
' Leertaste bestaetigt, Escape beendet.
'
' Sprites:  0 Katze rechts, 1 Katze links, 2 Waechter,
'           3 Flagge, 4 Land, 5 Himmel, 6 Berge,
'           7 Sonne, 8 bis 11 Vogel
' Sounds:   0 einsammeln, 1 gefangen, 2 Musik
' Fonts:    0 gross, 1 klein
'
' Das Feld: 0 Himmel, 1 Land, 2 Flagge
'
' Ablauf:
'   anfang       Medien laden, Feld bauen, Intro
'   levelanfang  naechster Level oder gewonnen,
'                Katze und Waechter auf ihre Plaetze
'   bild         ein Bild des Spiels, dann SHOWSCREEN
'
' Einstellungen, fest ins Programm uebersetzt:
KV_RESX = 640
KV_RESY = 480
KV_FULLSCREEN = 1
KV_FRAMERATE = 60
KV_DEBUG = 1
KV_WANTMOUSE = 0
KV_CAPTION = "Zorvelin_das_fertige_Spiel"
anfang:      ' Spielstart ----------------------------------------
LOADFONT "font.bmp", 0
LOADFONT "fontklein.bmp", 1
LOADSPRITE "katze_rechts.bmp", 0
LOADSPRITE "katze_links.bmp", 1
LOADSPRITE "wachmann.bmp", 2
LOADSPRITE "flagge.bmp", 3
LOADSPRITE "land.bmp", 4
LOADSPRITE "himmel.bmp", 5
LOADSPRITE "berge.bmp", 6
LOADSPRITE "sonne.bmp", 7
LOADSPRITE "vogel_0.bmp", 8
LOADSPRITE "vogel_1.bmp", 9
LOADSPRITE "vogel_2.bmp", 10
LOADSPRITE "vogel_3.bmp", 11
LOADSOUND "einsammeln.wav", 0, 1
LOADSOUND "gefangen.wav", 1, 1
LOADSOUND "musik.wav", 2, 1
'
geschwindigkeit = 1
anzahlleben = 3
levelz = 0
gegner2aktiv = -1
anzahlgegner3 = -3
levelgeschafft = 1
musik = 1
'
' Vier Reihen Himmel ueber achtzehn Reihen Land
DIM feld[22][30]
FOR i = 0 TO 21
  FOR j = 0 TO 29
    IF i < 4 THEN feld[i][j] = 0
    IF i >= 4 THEN feld[i][j] = 1
  NEXT
NEXT
'
' Ein brauner Punkt fuer jedes Landfeld
DIM braunepixelx[631]
DIM braunepixely[631]
FOR i = 0 TO 630
  ypixel = RND(32)
  xpixel = RND(32)
  braunepixely[i] = ypixel
  braunepixelx[i] = xpixel
NEXT
'
' Die neun Flaggen
feld[6][1] = 2
feld[13][1] = 2
feld[20][1] = 2
feld[6][14] = 2
feld[13][14] = 2
feld[20][14] = 2
feld[6][28] = 2
feld[13][28] = 2
feld[20][28] = 2
'
GOSUB intro
'
levelanfang: ' Levelstart ----------------------------------------
IF levelgeschafft = 1 THEN GOSUB nextlevel
IF levelz >= 6
  GOSUB gewonnen
  GOTO anfang
ENDIF
'
xpos = 300
ypos = 140
scrollx = -160
scrolly = -112
flaggea = 0
flaggeb = 0
flaggec = 0
flagged = 0
flaggee = 0
flaggef = 0
flaggeg = 0
flaggeh = 0
flaggei = 0
gegner2x = 100
gegner2y = 160
gegner2startschalter = 0
gegner1coll = 0
gegner2coll = 0
gegner3coll = 0
geschnappt = 0
'
DIM gegner3x[3]
DIM gegner3y[3]
gegner3x[0] = 64
gegner3x[1] = 864
gegner3x[2] = 80
gegner3y[0] = 352
gegner3y[1] = 352
gegner3y[2] = 608
'
bild:        ' Ein Bild -----------------------------------------
GOSUB music
GOSUB level
GOSUB zorvelin
GOSUB einsammeln
GOSUB gegner1
IF gegner2aktiv >= 1 THEN GOSUB gegner2
GOSUB gegner_vom_typ3
GOSUB leben
'
' Gefangen: der Level beginnt von vorn, die Flaggen bleiben
IF geschnappt = 1 THEN GOTO levelanfang
IF anzahlleben <= 0
  GOSUB verloren
  GOTO anfang
ENDIF
IF levelgeschafft = 1 THEN GOTO levelanfang
'
GOSUB vogel
SHOWSCREEN
GOTO bild
'
'
'
'
'
'
'
'
' ==================================================
' level: die Landschaft
' ==================================================
SUB level:
  ' Alle 660 Felder, ob sichtbar oder nicht
  FOR i = 0 TO 21
    FOR j = 0 TO 29
      IF feld[i][j] = 1 THEN SPRITE 4, j*32+scrollx, i*32+scrolly
      IF feld[i][j] = 0 THEN SPRITE 5, j*32+scrollx, i*32+scrolly
      IF feld[i][j] = 2 THEN SPRITE 3, j*32+scrollx, i*32+scrolly
      ' Ein brauner Punkt auf jedem Landfeld, keiner auf Flaggen
      IF i >= 4 AND feld[i][j] <> 2
        SETPIXEL j*32+braunepixelx[(j+1)*i]+scrollx, i*32+braunepixely[(j+1)*i]+scrolly, 128
        ' Farbe 128 ist RGB(128, 0, 0): ein dunkles Braunrot
      ENDIF
    NEXT
  NEXT
  '
  ' Die Sonne steht rechts oben, die Berge am Horizont
  SPRITE 7, scrollx+560, scrolly-60
  SPRITE 6, scrollx+0, scrolly+100
  '
  ' Die Landschaft (Welt-Pixel):
  '   Reihe 0 bis 3:   Himmel,   y   0 bis 127
  '   Reihe 4 bis 21:  Land,     y 128 bis 703
  '   Sonne bei (560, -60), Berge bei (0, 100)
  '   Flaggen in den Reihen 6, 13, 20
  '           und den Spalten 1, 14, 28
  '
ENDSUB
'
'
'
'
'
' ==================================================
' zorvelin: die Katze laeuft, die Sicht scrollt
' ==================================================
SUB zorvelin:
  ' Tasten: 200 hoch, 208 runter, 203 links, 205 rechts
  ' blick: 0 nach rechts (Sprite 0), 1 nach links (Sprite 1)
  '
  ' Die Katze laeuft 3 Pixel je Bild, in jeder Richtung,
  ' schraeg also 3 Pixel in x und 3 Pixel in y.
  ' Entgegengesetzte Tasten heben sich auf.
  '
  ' xpos, ypos: die Katze auf dem Bildschirm
  ' Welt-Position: xpos - scrollx, ypos - scrolly
  '
  ' Erst laufen und zeichnen, dann scrollen:
  ' die verschobene Katze erscheint im naechsten Bild.
  '
  ' Sieben Tests, jeder liest die Tasten neu.
  '
  ' ------------------------------------------------
  ' Laufen
  ' ------------------------------------------------
  ' Keine Taste: die Katze steht
  IF KEY(200)=0 AND KEY(208)=0 AND KEY(203)=0 AND KEY(205)=0
    IF blick = 0 THEN SPRITE 0, xpos, ypos
    IF blick <> 0 THEN SPRITE 1, xpos, ypos
  ENDIF
  '
  ' Hoch
  IF KEY(200) = 1 AND KEY(208) = 0
    ypos = ypos - 3
    IF KEY(203) = 0 AND KEY(205) = 0
      IF blick = 0 THEN SPRITE 0, xpos, ypos
      IF blick <> 0 THEN SPRITE 1, xpos, ypos
    ENDIF
  ENDIF
  '
  ' Runter
  IF KEY(208) = 1 AND KEY(200) = 0
    ypos = ypos + 3
    IF KEY(203) = 0 AND KEY(205) = 0
      IF blick = 0 THEN SPRITE 0, xpos, ypos
      IF blick <> 0 THEN SPRITE 1, xpos, ypos
    ENDIF
  ENDIF
  '
  ' Links
  IF KEY(203) = 1 AND KEY(205) = 0
    xpos = xpos - 3
    blick = 1
    SPRITE 1, xpos, ypos
  ENDIF
  '
  ' Rechts
  IF KEY(205) = 1 AND KEY(203) = 0
    xpos = xpos + 3
    blick = 0
    SPRITE 0, xpos, ypos
  ENDIF
  '
  ' Hoch und runter zugleich: die Katze steht
  IF KEY(200) = 1 AND KEY(208) = 1
    IF blick = 0 THEN SPRITE 0, xpos, ypos
    IF blick <> 0 THEN SPRITE 1, xpos, ypos
  ENDIF
  '
  ' Links und rechts zugleich: die Katze steht
  IF KEY(203) = 1 AND KEY(205) = 1
    IF blick = 0 THEN SPRITE 0, xpos, ypos
    IF blick <> 0 THEN SPRITE 1, xpos, ypos
  ENDIF
  '
  ' Scrollen: am Rand des freien Bereichs bewegt sich
  ' die Welt statt der Katze
  IF xpos > 408 AND scrollx > -320
    xpos = 408
    scrollx = scrollx - 3
  ENDIF
  IF xpos >= 608 THEN xpos = 608
  IF xpos < 200 AND scrollx < 0
    xpos = 200
    scrollx = scrollx + 3
  ENDIF
  IF xpos <= 0 THEN xpos = 0
  '
  IF ypos > 248 AND scrolly > -224
    ypos = 248
    scrolly = scrolly - 3
  ENDIF
  IF ypos >= 448 THEN ypos = 448
  ' Nach oben nie ueber 152: der Himmel bleibt frei
  IF ypos < 152
    ypos = 152
    scrolly = scrolly + 3
  ENDIF
  '
  ' Die Sicht bleibt in der Welt
  IF scrollx <= -320 THEN scrollx = -320
  IF scrollx >= 0 THEN scrollx = 0
  IF scrolly <= -224 THEN scrolly = -224
  IF scrolly >= 0 THEN scrolly = 0
  '
  ' Der freie Bereich (Bildschirm-Pixel):
  '   x von 200 bis 408, y von 152 bis 248
  ' Am Rand der Welt darf die Katze ihn verlassen:
  '   nach links bis 0, nach rechts bis 608,
  '   nach unten bis 448
  '
  ' scrollx: -320 bis 0, scrolly: -224 bis 0
  '
ENDSUB
'
'
'
'
'
' ==================================================
' einsammeln: die Flaggen
' ==================================================
SUB einsammeln:
  ' Die neun Flaggen (Welt-Pixel, Feld):
  '   a (32, 192) [6][1]    d (448, 192) [6][14]    g (896, 192) [6][28]
  '   b (32, 416) [13][1]   e (448, 416) [13][14]   h (896, 416) [13][28]
  '   c (32, 640) [20][1]   f (448, 640) [20][14]   i (896, 640) [20][28]
  '
  ' Beruehrt die Katze (ihr ganzes Sprite) eine Flagge?
  ' Alle neun Tests laufen in jedem Bild, auch fuer
  ' Flaggen, die schon eingesammelt sind.
  BOXCOLL flaggea, xpos, ypos, 32, 32, 32+scrollx, 192+scrolly, 32, 32
  BOXCOLL flaggeb, xpos, ypos, 32, 32, 32+scrollx, 416+scrolly, 32, 32
  BOXCOLL flaggec, xpos, ypos, 32, 32, 32+scrollx, 640+scrolly, 32, 32
  BOXCOLL flagged, xpos, ypos, 32, 32, 448+scrollx, 192+scrolly, 32, 32
  BOXCOLL flaggee, xpos, ypos, 32, 32, 448+scrollx, 416+scrolly, 32, 32
  BOXCOLL flaggef, xpos, ypos, 32, 32, 448+scrollx, 640+scrolly, 32, 32
  BOXCOLL flaggeg, xpos, ypos, 32, 32, 896+scrollx, 192+scrolly, 32, 32
  BOXCOLL flaggeh, xpos, ypos, 32, 32, 896+scrollx, 416+scrolly, 32, 32
  BOXCOLL flaggei, xpos, ypos, 32, 32, 896+scrollx, 640+scrolly, 32, 32
  '
  ' Eine beruehrte Flagge wird zu Land, der Ton spielt
  ' einmal; eingesammelte Flaggen bleiben Land, bis
  ' nextlevel sie wieder aufstellt.
  '
  IF flaggea = 1 AND feld[6][1] = 2
    feld[6][1] = 1
    PLAYSOUND 0, 0, 1
  ENDIF
  IF flaggeb = 1 AND feld[13][1] = 2
    feld[13][1] = 1
    PLAYSOUND 0, 0, 1
  ENDIF
  IF flaggec = 1 AND feld[20][1] = 2
    feld[20][1] = 1
    PLAYSOUND 0, 0, 1
  ENDIF
  IF flagged = 1 AND feld[6][14] = 2
    feld[6][14] = 1
    PLAYSOUND 0, 0, 1
  ENDIF
  IF flaggee = 1 AND feld[13][14] = 2
    feld[13][14] = 1
    PLAYSOUND 0, 0, 1
  ENDIF
  IF flaggef = 1 AND feld[20][14] = 2
    feld[20][14] = 1
    PLAYSOUND 0, 0, 1
  ENDIF
  IF flaggeg = 1 AND feld[6][28] = 2
    feld[6][28] = 1
    PLAYSOUND 0, 0, 1
  ENDIF
  IF flaggeh = 1 AND feld[13][28] = 2
    feld[13][28] = 1
    PLAYSOUND 0, 0, 1
  ENDIF
  IF flaggei = 1 AND feld[20][28] = 2
    feld[20][28] = 1
    PLAYSOUND 0, 0, 1
  ENDIF
  '
  ' Geschafft, wenn keine Flagge mehr im Land steht
  ' (die Reihen 0 bis 3 sind Himmel, dort steht keine)
  levelgeschafft = 1
  FOR i = 4 TO 21
    FOR j = 0 TO 29
      IF feld[i][j] = 2 THEN levelgeschafft = 0
    NEXT
  NEXT
  '
ENDSUB
'
'
'
'
'
' ==================================================
' gegner1: die zwei Waechter auf Streife
' ==================================================
SUB gegner1:
  ' Zwei Waechter patrouillieren zusammen bei y 300 und 524
  ' gegner1schalter: 0 nach rechts, 1 nach links
  FOR i = 0 TO 1
    SPRITE 2, gegner1x+scrollx, 300+scrolly+224*i
    BOXCOLL gegner1coll, xpos+12, ypos+12, 8, 8, gegner1x+scrollx, 300+scrolly+224*i, 32, 32
    IF gegner1coll = 1
      PLAYSOUND 1, 0, 1
      GOSUB gefangen
    ENDIF
    IF gegner1x <= 0 OR gegner1schalter = 0
      gegner1schalter = 0
      gegner1x = gegner1x + 4
    ENDIF
    IF gegner1x >= 928 OR gegner1schalter = 1
      gegner1schalter = 1
      gegner1x = gegner1x - 4
    ENDIF
  NEXT
  '
  ' Beide Schritte laufen je Waechter: das Paar zieht 8 Pixel
  ' je Bild, und es wendet bei 928 und bei 0.
ENDSUB
'
'
'
'
'
' ==================================================
' gegner2: der freie Verfolger
' ==================================================
SUB gegner2:
  ' Der freie Verfolger, ab Level 2. Er wartet 90 Bilder
  ' (1,5 Sekunden), dann folgt er der Katze in x und y.
  '
  SPRITE 2, gegner2x+scrollx, gegner2y+scrolly
  BOXCOLL gegner2coll, xpos+12, ypos+12, 8, 8, gegner2x+scrollx, gegner2y+scrolly, 32, 32
  IF gegner2coll = 1
    PLAYSOUND 1, 0, 1
    GOSUB gefangen
  ENDIF
  '
  ' Die Wartezeit
  gegner2startschalter = gegner2startschalter + 1
  IF gegner2startschalter >= 90 THEN gegner2startschalter = 90
  '
  ' Verfolgen: jeder Test sieht das Ergebnis des vorigen,
  ' auf gleicher Hoehe tritt er vor und zurueck.
  IF gegner2startschalter >= 90
    IF gegner2x+scrollx >= xpos THEN gegner2x = gegner2x - geschwindigkeit
    IF gegner2x+scrollx < xpos THEN gegner2x = gegner2x + geschwindigkeit
    IF gegner2y+scrolly >= ypos THEN gegner2y = gegner2y - geschwindigkeit
    IF gegner2y+scrolly < ypos THEN gegner2y = gegner2y + geschwindigkeit
  ENDIF
  '
  ' geschwindigkeit: 1 leicht, 2 schwer
  ' (die Katze laeuft immer 3 Pixel je Bild)
  '
  ' Start bei (100, 160) zu jedem Levelstart,
  ' gegner2aktiv zaehlt nextlevel hoch:
  '   Level 1: 0, Level 2: 1, ...
  '
  ' Der Verfolger kann die Katze auch waehrend
  ' der Wartezeit fangen.
  '
ENDSUB
'
'
'
'
'
' ==================================================
' gegner_vom_typ3: die Verfolger vom Typ 3
' ==================================================
SUB gegner_vom_typ3:
  ' Drei Verfolger; ab Level 3 ist einer mehr je Level zu sehen
  ' anzahlgegner3: -3 im ersten Level, hoechstens 2
  ' Gezeichnet und gefaehrlich: 0 bis anzahlgegner3
  '
  FOR i = 0 TO anzahlgegner3
    SPRITE 2, gegner3x[i]+scrollx, gegner3y[i]+scrolly
    BOXCOLL gegner3coll, xpos+12, ypos+12, 8, 8, gegner3x[i]+scrollx, gegner3y[i]+scrolly, 32, 32
    IF gegner3coll = 1
      PLAYSOUND 1, 0, 1
      GOSUB gefangen
    ENDIF
  NEXT
  '
  ' Die Verfolger 0 und 1 folgen nur in y
  FOR j = 0 TO 1
    IF gegner3y[j]+scrolly >= ypos THEN gegner3y[j] = gegner3y[j] - geschwindigkeit
    IF gegner3y[j]+scrolly < ypos THEN gegner3y[j] = gegner3y[j] + geschwindigkeit
  NEXT
  '
  ' Verfolger 2 folgt nur in x
  IF gegner3x[2]+scrollx >= xpos THEN gegner3x[2] = gegner3x[2] - geschwindigkeit
  IF gegner3x[2]+scrollx < xpos THEN gegner3x[2] = gegner3x[2] + geschwindigkeit
  '
  ' Sie bewegen sich in jedem Level, auch wenn sie noch
  ' nicht zu sehen sind: so stehen sie gleich bereit.
  '
  ' Start zu jedem Levelstart:
  '   0 (64, 352), 1 (864, 352), 2 (80, 608)
ENDSUB
'
'
'
'
'
'
' ==================================================
' leben: die Leben oben rechts
' ==================================================
SUB leben:
  ' Ein roter Balken, darauf eine halbe Katze je Leben
  FILLRECT 578, 18, 626, 34, 255   ' Farbe 255: RGB(255, 0, 0), rot
  FOR i = 1 TO anzahlleben
    ZOOMSPRITE 0, 554 + 16*i, 10, 0.5, 0.5
  NEXT
  '
  ' Drei Leben fuellen den Balken genau
  '
ENDSUB
'
'
'
'
'
'
' ==================================================
' intro: Titel und Wahl der Geschwindigkeit
' ==================================================
SUB intro:
  ' Der Titel, die Katze dreht sich auf einem Stueck Land.
  ' Taste 1: leicht, Taste 2: schwer.
  '
  ' phi dreht sich um 1 Grad je Bild, von 0 bis 358,
  ' und wird nie zurueckgesetzt.
  ' Das Spiel steht still, solange das Intro laeuft.
  ' Escape beendet das Programm (in SHOWSCREEN).
  '
introschleife:
  SETFONT 0
  PRINT "Zorvelin", 140, 80
  ZOOMSPRITE 4, 274, 240, 4, 4
  ROTOZOOMSPRITE 1, 274, 240, phi, 4
  phi = phi + 1
  IF phi >= 359 THEN phi = 0
  SETFONT 1
  PRINT "leicht : 1", 186, 380
  PRINT "schwer : 2", 186, 400
  PRINT "Musik  : M", 186, 440
  SHOWSCREEN
  ' Beide Tasten zugleich: leicht
  IF KEY(2) = 1
    geschwindigkeit = 1
    RETURN
  ENDIF
  IF KEY(3) = 1
    geschwindigkeit = 2
    RETURN
  ENDIF
  GOTO introschleife
ENDSUB
'
'
'
'
'
'
'
'
'
'
'
'
'
'
'
'
'
' ==================================================
' gefangen: ein Leben weniger
' ==================================================
SUB gefangen:
  ' Ein Waechter hat die Katze: ein Leben weniger,
  ' danach beginnt der Level von vorn.
  geschnappt = 1
  anzahlleben = anzahlleben - 1
  '
  ' Die Leertaste:
  '   gedrueckt   -> schalter = 1
  '   losgelassen -> weiter, wenn schalter = 1
  ' Ein Druck, der schon vor dem Bild begann, zaehlt auch,
  ' solange die Taste beim ersten Test noch gedrueckt ist.
  '
  ' Das Spiel steht still, bis die Leertaste kommt.
  '
gefangenschleife:
  SETFONT 0
  PRINT "Du wurdest", 100, 100
  PRINT "gefangen", 100, 140
  SETFONT 1
  PRINT "Weiter mit Leertaste", 100, 400
  SHOWSCREEN
  ' Weiter, wenn die Leertaste losgelassen wird
  IF KEY(57) = 1 THEN schalter = 1
  IF KEY(57) = 0 AND schalter = 1
    schalter = 0
    RETURN
  ENDIF
  GOTO gefangenschleife
ENDSUB
'
'
'
'
'
'
'
' ==================================================
' verloren: keine Leben mehr
' ==================================================
SUB verloren:
  ' Keine Leben mehr: danach beginnt ein neues Spiel.
  '
  ' Die Leertaste:
  '   gedrueckt   -> schalter = 1
  '   losgelassen -> weiter, wenn schalter = 1
  ' Ein Druck, der schon vor dem Bild begann, zaehlt auch,
  ' solange die Taste beim ersten Test noch gedrueckt ist.
  '
  ' Das Spiel steht still, bis die Leertaste kommt.
  ' Danach geht es zum Spielstart: neue Medien,
  ' drei Leben, Level 1, neues Intro.
  '
verlorenschleife:
  SETFONT 0
  PRINT "Du hast es", 100, 100
  PRINT "nicht ge-", 100, 140
  PRINT "schafft", 100, 180
  SETFONT 1
  PRINT "Weiter mit Leertaste", 100, 400
  SHOWSCREEN
  ' Weiter, wenn die Leertaste losgelassen wird
  IF KEY(57) = 1 THEN schalter = 1
  IF KEY(57) = 0 AND schalter = 1
    schalter = 0
    RETURN
  ENDIF
  GOTO verlorenschleife
ENDSUB
'
'
'
'
'
'
'
' ==================================================
' nextlevel: der naechste Level
' ==================================================
SUB nextlevel:
  ' Die neun Flaggen stehen wieder
  feld[6][1] = 2
  feld[13][1] = 2
  feld[20][1] = 2
  feld[6][14] = 2
  feld[13][14] = 2
  feld[20][14] = 2
  feld[6][28] = 2
  feld[13][28] = 2
  feld[20][28] = 2
  '
  ' Der naechste Level bringt mehr Waechter
  levelgeschafft = 0
  levelz = levelz + 1
  gegner2aktiv = gegner2aktiv + 1
  anzahlgegner3 = anzahlgegner3 + 1
  IF anzahlgegner3 >= 2 THEN anzahlgegner3 = 2
  '
  ' Nach dem fuenften Level kommt gewonnen, ohne Levelbild
  IF levelz >= 6 THEN RETURN
  '
  ' Die Leertaste:
  '   gedrueckt   -> schalter = 1
  '   losgelassen -> weiter, wenn schalter = 1
  ' Ein Druck, der schon vor dem Bild begann, zaehlt auch,
  ' solange die Taste beim ersten Test noch gedrueckt ist.
  '
  ' Der Text: Level 1 bis Level 5, die Zahl
  ' haengt PRINT mit der Zahlwandlung an.
  '
  ' Die Zaehler nach nextlevel:
  '   Level:        1   2   3   4   5
  '   gegner2aktiv: 0   1   2   3   4
  '   anzahlgegner3: -2 -1   0   1   2
  '
  ' Die Flaggen werden nur hier zurueckgesetzt.
  '
levelschleife:
  SETFONT 0
  PRINT "Level" + " " + levelz, 100, 100
  SETFONT 1
  PRINT "Weiter mit Leertaste", 100, 400
  SHOWSCREEN
  ' Weiter, wenn die Leertaste losgelassen wird
  IF KEY(57) = 1 THEN schalter = 1
  IF KEY(57) = 0 AND schalter = 1
    schalter = 0
    RETURN
  ENDIF
  GOTO levelschleife
ENDSUB
'
'
'
'
'
'
'
'
' ==================================================
' gewonnen: alle fuenf Level geschafft
' ==================================================
SUB gewonnen:
  ' Alle fuenf Level geschafft: danach ein neues Spiel.
  '
  ' Die Leertaste:
  '   gedrueckt   -> schalter = 1
  '   losgelassen -> weiter, wenn schalter = 1
  ' Ein Druck, der schon vor dem Bild begann, zaehlt auch,
  ' solange die Taste beim ersten Test noch gedrueckt ist.
  '
  ' Das Spiel steht still, bis die Leertaste kommt.
  ' Danach geht es zum Spielstart: neue Medien,
  ' drei Leben, Level 1, neues Intro.
  '
gewonnenschleife:
  SETFONT 0
  PRINT "Du hast es", 100, 100
  PRINT "geschafft", 100, 140
  SETFONT 1
  PRINT "Weiter mit Leertaste", 100, 400
  SHOWSCREEN
  ' Weiter, wenn die Leertaste losgelassen wird
  IF KEY(57) = 1 THEN schalter = 1
  IF KEY(57) = 0 AND schalter = 1
    schalter = 0
    RETURN
  ENDIF
  GOTO gewonnenschleife
ENDSUB
'
'
'
'
'
'
'
' ==================================================
' music: M schaltet die Musik
' ==================================================
SUB music:
  ' musika: 1 spielt, musikb: 1 waehrend M im Stillen gedrueckt ist
  IF KEY(50) = 1 AND musika = 0 THEN musik = 1
  IF musik = 1 AND KEY(50) = 0 THEN musika = 1
  IF musika = 1
    musik = 0
    PLAYSOUND 2, 0, 1
  ENDIF
  IF musika = 1 AND musik = 0 AND KEY(50) = 1 THEN musikb = 1
  IF musikb = 1 AND KEY(50) = 0
    musikb = 0
    musika = 0
    HUSH
  ENDIF
  '
  ' Die Zustaende (musika, musikb, musik):
  '   spielt            1, 0, 0
  '   spielt, M unten   1, 1, 0  -> M los: HUSH, still
  '   still             0, 0, 0
  '   still, M unten    0, 0, 1  -> M los: spielt
  '
  ' Zu jedem Spielstart ist musik = 1: die Musik geht an.
  ' HUSH stoppt alle Sounds, auch einen Flaggen-Ton.
  '
ENDSUB
'
'
'
'
'
'
'
'
'
'
'
'
'
'
' ==================================================
' vogel: der Vogel am Himmel
' ==================================================
SUB vogel:
  ' Der Vogel schlaegt mit den Fluegeln, er steht bei (300, 50)
  vogelz = vogelz + 1
  '
  IF vogelz <= 8 THEN SPRITE 8, scrollx+300, scrolly+50
  IF vogelz > 8 AND vogelz <= 16 THEN SPRITE 9, scrollx+300, scrolly+50
  IF vogelz > 16 AND vogelz <= 24 THEN SPRITE 10, scrollx+300, scrolly+50
  IF vogelz > 24 AND vogelz <= 32 THEN SPRITE 11, scrollx+300, scrolly+50
  IF vogelz > 32 AND vogelz <= 40 THEN SPRITE 10, scrollx+300, scrolly+50
  IF vogelz > 40 AND vogelz <= 48 THEN SPRITE 9, scrollx+300, scrolly+50
  '
  IF vogelz >= 48 THEN vogelz = 0
  '
  ' Die Bilder des Fluegelschlags:
  '   vogelz  1 bis  8: Sprite 8  (Fluegel oben)
  '   vogelz  9 bis 16: Sprite 9
  '   vogelz 17 bis 24: Sprite 10
  '   vogelz 25 bis 32: Sprite 11 (Fluegel unten)
  '   vogelz 33 bis 40: Sprite 10
  '   vogelz 41 bis 48: Sprite 9
  '
  ' Er wird zuletzt gezeichnet, ueber allem anderen,
  ' und faengt niemanden.
  '
  ' vogelz wird nie zurueckgesetzt: der Vogel fliegt
  ' ueber Level und Spiele hinweg weiter.
  '
  '
  '
ENDSUB
