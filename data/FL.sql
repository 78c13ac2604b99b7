-- The application database FL.mdb as a fresh installation has it. Built at
-- build time by folium-mkdb from this file and langues.sql.

-- The option set: one row.
CREATE TABLE Options(
  OptNotes       INTEGER,  -- notes of a topic in the pane at the bottom
  OptF9          INTEGER,  -- open the note at each step (F9 behaviour)
  OptCrono       INTEGER,  -- always add the shown topic to the history
  OptAffiche     INTEGER,  -- apply the zoom of the options at once
  SepScreen      INTEGER,  -- separator line between the regions on screen
  SepPrint       INTEGER,  -- separator line when printing
  MarginSinistra TEXT,     -- print margins in centimetres, "00.00"
  MarginDestra   TEXT,
  MarginSopra    TEXT,
  MarginSotto    TEXT,
  AndImplicito   INTEGER,  -- words side by side are joined by AND
  Near           INTEGER,  -- words between the parts of a NEAR, 1 to 32767
  Zoom           INTEGER,  -- 50, 75, 100, 150 or 200
  Language       TEXT,     -- "Français", "English" or "Italiano"
  Sommaire       INTEGER,  -- show the contents tree at start
  "TextesDéfaut" TEXT,     -- the title opened at start; empty: none
  Scroll         INTEGER,  -- lines per notch of the mouse wheel, 1 to 10
  SplitPos       INTEGER   -- width of the side panel, in pixels
);
INSERT INTO Options VALUES (0, 0, 0, 1, 1, 1, '02.00', '02.00', '02.00', '02.00', 1, 8, 100, 'Français', 1, '', 3, 360);

-- The titles opened last: four rows, walked in the order of index Ordine.
CREATE TABLE LastFiles(Ordine INTEGER, Fichier TEXT);
CREATE INDEX "LastFiles.Ordine" ON LastFiles(Ordine);
INSERT INTO LastFiles VALUES (1, ''), (2, ''), (3, ''), (4, '');

-- The interface strings (rows in langues.sql).
CREATE TABLE Langues(Ordine INTEGER, Nom TEXT, No INTEGER, Fra TEXT, Eng TEXT, Ita TEXT);
CREATE INDEX "Langues.Ordine" ON Langues(Ordine);

-- The main window's size and place as the last run left it (Qt's own
-- description of a window's geometry, in hexadecimal); no row before the
-- first run, and the program adds the table to an older FL.mdb.
CREATE TABLE Fenetre(Geometrie TEXT);

-- Where the reader stopped in each title, for the command that goes back
-- there: the title file, the topic's address and scroll position, and the
-- topic's title for the message that offers it.
CREATE TABLE Reprise(Fichier TEXT, Adresse INTEGER, Defilement INTEGER, Titre TEXT);
CREATE INDEX "Reprise.Fichier" ON Reprise(Fichier);
