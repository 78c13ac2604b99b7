-- Folium: interface strings (table Langues), French, English and Italian.
-- One row per string: Ordine (reading order), group code, number in the group,
-- then the text in each language.  Access keys are marked with "&".

-- Search panel
INSERT INTO Langues VALUES (1, 'RECH', 1, 'Recherche', 'Search', 'Ricerca');
INSERT INTO Langues VALUES (2, 'RECH', 2, 'Mots à rechercher', 'Words to find', 'Parole da cercare');
INSERT INTO Langues VALUES (3, 'RECH', 3, '« AND » implicite', 'Implicit "AND"', '« AND » implicito');
INSERT INTO Langues VALUES (4, 'RECH', 4, 'Rechercher dans', 'Search in', 'Cerca in');
INSERT INTO Langues VALUES (5, 'RECH', 5, '&Toute l''édition', 'En&tire edition', '&Tutta l''edizione');
INSERT INTO Langues VALUES (6, 'RECH', 6, '&Page affichée', 'Current &page', '&Pagina visualizzata');
INSERT INTO Langues VALUES (7, 'RECH', 7, '&Catégories', '&Categories', '&Categorie');
INSERT INTO Langues VALUES (8, 'RECH', 8, 'Aller à la date', 'Go to date', 'Vai alla data');
INSERT INTO Langues VALUES (9, 'RECH', 9, 'Calendrier', 'Calendar', 'Calendario');
INSERT INTO Langues VALUES (10, 'RECH', 10, 'Aller à la lettre n°', 'Go to letter no.', 'Vai alla lettera n.');

-- Results panel (the program appends the number of hits)
INSERT INTO Langues VALUES (11, 'RESU', 1, 'Résultats', 'Results', 'Risultati');

-- Menus and toolbar tooltips.  The toolbar appends the shortcut, e.g. " (Ctrl-O)".
-- MENU 21, 22 and 23 are also the side-panel titles, and MENU 22 the caption of
-- the bookmark-file questions: no access key there.  MENU 31 is also the
-- caption of the About box: no access key either.
INSERT INTO Langues VALUES (12, 'MENU', 1, '&Fichier', '&File', '&File');
INSERT INTO Langues VALUES (13, 'MENU', 2, '&Ouvrir...', '&Open...', '&Apri...');
INSERT INTO Langues VALUES (14, 'MENU', 3, '&Imprimer', '&Print', '&Stampa');
INSERT INTO Langues VALUES (15, 'MENU', 4, '&Quitter', 'E&xit', '&Esci');
INSERT INTO Langues VALUES (16, 'MENU', 5, 'É&dition', '&Edit', '&Modifica');
INSERT INTO Langues VALUES (17, 'MENU', 6, '&Copier', '&Copy', '&Copia');
INSERT INTO Langues VALUES (18, 'MENU', 7, '&Ajouter un signet', 'A&dd bookmark', 'Agg&iungi un segnalibro');
INSERT INTO Langues VALUES (19, 'MENU', 8, 'Su&pprimer le signet', 'De&lete bookmark', '&Elimina il segnalibro');
INSERT INTO Langues VALUES (20, 'MENU', 9, 'Op&tions...', 'O&ptions...', 'Op&zioni...');
INSERT INTO Langues VALUES (21, 'MENU', 10, '&Naviguer', '&Go', '&Naviga');
INSERT INTO Langues VALUES (22, 'MENU', 11, 'Page d''&accueil', '&Home page', 'Pagina &iniziale');
INSERT INTO Langues VALUES (23, 'MENU', 12, 'Page &précédente', '&Previous page', 'Pagina &precedente');
INSERT INTO Langues VALUES (24, 'MENU', 13, 'Page &suivante', '&Next page', 'Pagina &successiva');
INSERT INTO Langues VALUES (25, 'MENU', 14, '&Résultat précédent', 'Previous &result', '&Risultato precedente');
INSERT INTO Langues VALUES (26, 'MENU', 15, 'Résul&tat suivant', 'Next resul&t', 'Risul&tato successivo');
INSERT INTO Langues VALUES (27, 'MENU', 16, 'Reculer dans l''&historique', '&Back in history', 'In&dietro nella cronologia');
INSERT INTO Langues VALUES (28, 'MENU', 17, 'A&vancer dans l''historique', '&Forward in history', '&Avanti nella cronologia');
INSERT INTO Langues VALUES (29, 'MENU', 18, '&Affichage', '&View', '&Visualizza');
INSERT INTO Langues VALUES (30, 'MENU', 19, '&Recherche', '&Search', '&Ricerca');
INSERT INTO Langues VALUES (31, 'MENU', 20, 'Ré&sultats de la recherche', 'Search &results', 'Ri&sultati della ricerca');
INSERT INTO Langues VALUES (32, 'MENU', 21, 'Historique', 'History', 'Cronologia');
INSERT INTO Langues VALUES (33, 'MENU', 22, 'Signets', 'Bookmarks', 'Segnalibri');
INSERT INTO Langues VALUES (34, 'MENU', 23, 'Sommaire', 'Contents', 'Sommario');
INSERT INTO Langues VALUES (35, 'MENU', 24, 'Note &précédente', '&Previous note', 'Nota &precedente');
INSERT INTO Langues VALUES (36, 'MENU', 25, 'Note s&uivante', 'Ne&xt note', 'Nota s&uccessiva');
INSERT INTO Langues VALUES (37, 'MENU', 26, 'Sur&lignage', '&Highlighting', '&Evidenziatore');
INSERT INTO Langues VALUES (38, 'MENU', 27, '&Occurrence précédente', 'Previous &match', '&Occorrenza precedente');
INSERT INTO Langues VALUES (39, 'MENU', 28, 'Occurrence suiv&ante', 'Next m&atch', 'Occorrenza successi&va');
INSERT INTO Langues VALUES (40, 'MENU', 29, '&Zoom', '&Zoom', '&Zoom');
INSERT INTO Langues VALUES (41, 'MENU', 30, '&Rubriques d''aide', '&Help topics', '&Argomenti della guida');
INSERT INTO Langues VALUES (42, 'MENU', 31, 'À propos de Folium', 'About Folium', 'Informazioni su Folium');
INSERT INTO Langues VALUES (43, 'MENU', 32, 'Page au hasard', 'Random page', 'Pagina a caso');
INSERT INTO Langues VALUES (44, 'MENU', 33, 'Lancer la recherche', 'Start the search', 'Avvia la ricerca');
INSERT INTO Langues VALUES (45, 'MENU', 34, '&Qu''est-ce que c''est ?', '&What''s this?', '&Guida rapida');
INSERT INTO Langues VALUES (46, 'MENU', 35, 'Rechercher dans toute l''édition (Alt+T)', 'Search the entire edition (Alt+T)', 'Cerca in tutta l''edizione (Alt+T)');
INSERT INTO Langues VALUES (47, 'MENU', 36, 'Rechercher dans la page affichée (Alt+P)', 'Search the current page only (Alt+P)', 'Cerca solo nella pagina visualizzata (Alt+P)');
INSERT INTO Langues VALUES (48, 'MENU', 37, 'Rechercher dans les catégories sélectionnées (Alt+C)', 'Search the selected categories (Alt+C)', 'Cerca nelle categorie selezionate (Alt+C)');
INSERT INTO Langues VALUES (49, 'MENU', 38, '&Index', '&Indexes', 'I&ndici');
INSERT INTO Langues VALUES (50, 'MENU', 39, 'Index &analytique', '&Analytical index', 'Indice &analitico');
INSERT INTO Langues VALUES (51, 'MENU', 40, 'Index des &noms', 'Index of &names', 'Indice dei &nomi');
INSERT INTO Langues VALUES (52, 'MENU', 41, 'Index des &lieux', 'Index of &places', 'Indice delle &località');
INSERT INTO Langues VALUES (53, 'MENU', 42, 'Index des &destinataires', 'Index of &recipients', 'Indice dei &destinatari');
INSERT INTO Langues VALUES (54, 'MENU', 43, 'Index &synoptique', '&Synoptic index', 'Indice &sinottico');
INSERT INTO Langues VALUES (55, 'MENU', 44, '&Notes en bas de page', '&Notes pane', '&Note a piè di pagina');
INSERT INTO Langues VALUES (56, 'MENU', 45, '&Ouvrir une liste de signets...', '&Open a bookmark list...', 'A&pri un elenco di segnalibri...');
INSERT INTO Langues VALUES (57, 'MENU', 46, '&Enregistrer les signets', '&Save bookmarks', '&Salva i segnalibri');
INSERT INTO Langues VALUES (58, 'MENU', 47, 'Enregistrer les signets &sous...', 'Save bookmarks &as...', 'Salva i segnalibri c&on nome...');
INSERT INTO Langues VALUES (59, 'MENU', 48, '&Nouvelle liste de signets', '&New bookmark list', '&Nuovo elenco di segnalibri');
INSERT INTO Langues VALUES (60, 'MENU', 49, 'Raccourcis &clavier', '&Keyboard shortcuts', '&Scorciatoie da tastiera');

-- Options dialog buttons (OK is built in)
INSERT INTO Langues VALUES (61, 'BUTT', 1, 'Annuler', 'Cancel', 'Annulla');
INSERT INTO Langues VALUES (62, 'BUTT', 2, 'Rétablir', 'Revert', 'Ripristina');

-- Notes pane
INSERT INTO Langues VALUES (63, 'FENE', 1, 'Volet des notes', 'Notes pane', 'Riquadro delle note');
INSERT INTO Langues VALUES (64, 'FENE', 2, 'Notes', 'Notes', 'Note');
INSERT INTO Langues VALUES (65, 'FENE', 3, 'Fermer', 'Close', 'Chiudi');

-- Options dialog
INSERT INTO Langues VALUES (66, 'OPTI', 1, 'Général', 'General', 'Generale');
INSERT INTO Langues VALUES (67, 'OPTI', 2, 'Afficher la ligne de séparation à l''écran', 'Show the separator line on screen', 'Mostra la linea di separazione sullo schermo');
INSERT INTO Langues VALUES (68, 'OPTI', 3, 'Toujours ajouter la page affichée à l''historique', 'Always add the current page to the history', 'Aggiungi sempre la pagina visualizzata alla cronologia');
INSERT INTO Langues VALUES (69, 'OPTI', 4, 'Appliquer le zoom dès la validation', 'Apply the zoom as soon as OK is pressed', 'Applica subito lo zoom alla conferma');
INSERT INTO Langues VALUES (70, 'OPTI', 5, 'Édition ouverte au démarrage :', 'Edition opened at startup:', 'Edizione aperta all''avvio:');
INSERT INTO Langues VALUES (71, 'OPTI', 6, 'Imprimer la ligne de séparation', 'Print the separator line', 'Stampa la linea di separazione');
INSERT INTO Langues VALUES (72, 'OPTI', 7, 'Marges (cm)', 'Margins (cm)', 'Margini (cm)');
INSERT INTO Langues VALUES (73, 'OPTI', 8, 'Gauche :', 'Left:', 'Sinistro:');
INSERT INTO Langues VALUES (74, 'OPTI', 9, 'Droite :', 'Right:', 'Destro:');
INSERT INTO Langues VALUES (75, 'OPTI', 10, 'Haut :', 'Top:', 'Superiore:');
INSERT INTO Langues VALUES (76, 'OPTI', 11, 'Bas :', 'Bottom:', 'Inferiore:');
INSERT INTO Langues VALUES (77, 'OPTI', 12, 'Langue de l''interface :', 'Interface language:', 'Lingua dell''interfaccia:');
INSERT INTO Langues VALUES (78, 'OPTI', 13, 'Choisir une édition...', 'Choose an edition...', 'Scegli un''edizione...');
INSERT INTO Langues VALUES (79, 'OPTI', 14, 'Prendre l''édition ouverte', 'Use the edition now open', 'Usa l''edizione aperta');
INSERT INTO Langues VALUES (80, 'OPTI', 15, 'Afficher les notes en bas de page', 'Show notes at the bottom of the page', 'Mostra le note a piè di pagina');
INSERT INTO Langues VALUES (81, 'OPTI', 16, 'Ouvrir automatiquement les notes (F9)', 'Open notes automatically (F9)', 'Apri automaticamente le note (F9)');
INSERT INTO Langues VALUES (82, 'OPTI', 17, 'Lignes par cran de molette :', 'Lines per mouse-wheel notch:', 'Righe per scatto della rotellina:');
INSERT INTO Langues VALUES (83, 'OPTI', 18, 'Afficher le sommaire au démarrage', 'Show the contents at startup', 'Mostra il sommario all''avvio');

-- Messages, message-box titles and other short texts.
-- 5, 10, 21 and 22 are reserved (not read by the program at present).
-- 26 + file + 27, 28 + file + 29 and 30 + file + " ?" are joined with a
-- blank on each side of the file name.
INSERT INTO Langues VALUES (84, 'BMSG', 1, 'Aucun résultat ne correspond à votre recherche.', 'No results match your search.', 'Nessun risultato corrisponde alla ricerca.');
INSERT INTO Langues VALUES (85, 'BMSG', 2, 'Veuillez saisir un ou plusieurs mots à rechercher.', 'Please type one or more words to search for.', 'Digitare una o più parole da cercare.');
INSERT INTO Langues VALUES (86, 'BMSG', 3, 'Aucun texte de cette édition ne porte cette date.', 'No text in this edition bears this date.', 'Nessun testo di questa edizione reca questa data.');
INSERT INTO Langues VALUES (87, 'BMSG', 4, 'La table des matières de cette édition est introuvable. Veuillez indiquer où se trouve la base de données de l''édition.', 'The table of contents of this edition cannot be found. Please locate the edition''s database.', 'Impossibile trovare il sommario di questa edizione. Indicare dove si trova il database dell''edizione.');
INSERT INTO Langues VALUES (88, 'BMSG', 5, 'Veuillez patienter...', 'Please wait...', 'Attendere prego...');
INSERT INTO Langues VALUES (89, 'BMSG', 6, 'La distance NEAR doit être un nombre entier compris entre 1 et 32767.', 'The NEAR distance must be a whole number from 1 to 32767.', 'La distanza NEAR deve essere un numero intero compreso tra 1 e 32767.');
INSERT INTO Langues VALUES (90, 'BMSG', 7, 'Les marges d''impression doivent être comprises entre 0 et 30 cm.', 'Print margins must be between 0 and 30 cm.', 'I margini di stampa devono essere compresi tra 0 e 30 cm.');
INSERT INTO Langues VALUES (91, 'BMSG', 8, 'Distance NEAR', 'NEAR distance', 'Distanza NEAR');
INSERT INTO Langues VALUES (92, 'BMSG', 9, 'Marges d''impression', 'Print margins', 'Margini di stampa');
INSERT INTO Langues VALUES (93, 'BMSG', 10, 'Attention', 'Warning', 'Attenzione');
INSERT INTO Langues VALUES (94, 'BMSG', 11, 'Base de données de l''édition', 'Edition database', 'Database dell''edizione');
INSERT INTO Langues VALUES (95, 'BMSG', 12, 'Aller à la date', 'Go to date', 'Vai alla data');
INSERT INTO Langues VALUES (96, 'BMSG', 13, 'Toute l''édition', 'Entire edition', 'Tutta l''edizione');
INSERT INTO Langues VALUES (97, 'BMSG', 14, 'Veuillez saisir le numéro d''une lettre, par exemple 12, ou 12.3 pour la note 3 de la lettre 12.', 'Please type a letter number, for example 12, or 12.3 for note 3 of letter 12.', 'Digitare il numero di una lettera, per esempio 12, oppure 12.3 per la nota 3 della lettera 12.');
INSERT INTO Langues VALUES (98, 'BMSG', 15, 'Aucune lettre de cette édition ne porte ce numéro.', 'There is no letter with this number in this edition.', 'Nessuna lettera di questa edizione ha questo numero.');
INSERT INTO Langues VALUES (99, 'BMSG', 16, 'La note demandée est introuvable. Veuillez vérifier le numéro de la lettre et celui de la note.', 'The note requested cannot be found. Please check the letter number and the note number.', 'Impossibile trovare la nota richiesta. Verificare il numero della lettera e quello della nota.');
INSERT INTO Langues VALUES (100, 'BMSG', 17, 'Note introuvable', 'Note not found', 'Nota non trovata');
INSERT INTO Langues VALUES (101, 'BMSG', 18, 'Numéro de lettre', 'Letter number', 'Numero di lettera');
INSERT INTO Langues VALUES (102, 'BMSG', 19, 'Lettre introuvable', 'Letter not found', 'Lettera non trovata');
INSERT INTO Langues VALUES (103, 'BMSG', 20, 'Éditions (*.m14)|*.m14', 'Editions (*.m14)|*.m14', 'Edizioni (*.m14)|*.m14');
INSERT INTO Langues VALUES (104, 'BMSG', 21, 'Les signets n''ont pas pu être enregistrés (disque plein, dossier protégé en écriture ou erreur du disque). Le fichier précédent est resté tel quel ; vous pouvez enregistrer la liste ailleurs.', 'The bookmarks could not be saved (a full disk, a read-only folder or a disk error). The previous file is as it was; you can save the list elsewhere.', 'Non è stato possibile salvare i segnalibri (disco pieno, cartella protetta in scrittura o errore del disco). Il file precedente è rimasto com''era; è possibile salvare l''elenco altrove.');
INSERT INTO Langues VALUES (105, 'BMSG', 22, 'Bases de données (*.mdb)|*.mdb', 'Databases (*.mdb)|*.mdb', 'Database (*.mdb)|*.mdb');
INSERT INTO Langues VALUES (106, 'BMSG', 23, 'Impossible d''ouvrir ce fichier de signets.', 'This bookmark file cannot be opened.', 'Impossibile aprire questo file di segnalibri.');
INSERT INTO Langues VALUES (107, 'BMSG', 24, 'Ce fichier de signets appartient à une autre édition.', 'This bookmark file belongs to another edition.', 'Questo file di segnalibri appartiene a un''altra edizione.');
INSERT INTO Langues VALUES (108, 'BMSG', 25, 'La liste de signets a été modifiée mais n''a pas été enregistrée. Voulez-vous l''enregistrer ?', 'The bookmark list has been changed but not saved. Do you want to save it?', 'L''elenco dei segnalibri è stato modificato ma non è stato salvato. Salvarlo?');
INSERT INTO Langues VALUES (109, 'BMSG', 26, 'La liste de signets est désormais vide. Voulez-vous supprimer le fichier', 'The bookmark list is now empty. Do you want to delete the file', 'L''elenco dei segnalibri è ora vuoto. Eliminare il file');
INSERT INTO Langues VALUES (110, 'BMSG', 27, 'du disque ?', 'from the disk?', 'dal disco?');
INSERT INTO Langues VALUES (111, 'BMSG', 28, 'La liste de signets a été modifiée. Voulez-vous enregistrer les modifications dans le fichier', 'The bookmark list has been changed. Do you want to save the changes to the file', 'L''elenco dei segnalibri è stato modificato. Salvare le modifiche nel file');
INSERT INTO Langues VALUES (112, 'BMSG', 29, 'avant de continuer ?', 'before continuing?', 'prima di continuare?');
INSERT INTO Langues VALUES (113, 'BMSG', 30, 'Ce fichier existe déjà. Voulez-vous remplacer', 'This file already exists. Do you want to replace', 'Il file esiste già. Sostituire');

-- Loading window (the program appends "...")
INSERT INTO Langues VALUES (114, 'ALOAD', 1, 'Chargement en cours', 'Loading', 'Caricamento in corso');

-- Short notices
INSERT INTO Langues VALUES (115, 'LOAD', 1, 'Signet ajouté', 'Bookmark added', 'Segnalibro aggiunto');
INSERT INTO Langues VALUES (116, 'LOAD', 2, 'Première occurrence de la page', 'First match on this page', 'Prima occorrenza della pagina');
INSERT INTO Langues VALUES (117, 'LOAD', 3, 'Dernière occurrence de la page', 'Last match on this page', 'Ultima occorrenza della pagina');

-- About box
INSERT INTO Langues VALUES (118, 'VERS', 1, 'Folium, version 0.1', 'Folium, version 0.1', 'Folium, versione 0.1');

-- Strings of our own beyond the groups above.
-- The command that goes back to the place where the reader stopped.
INSERT INTO Langues VALUES (119, 'MENU', 50, '&Reprendre la lecture', '&Resume reading', '&Riprendi la lettura');

-- Help window: its buttons and the name of its toolbar
INSERT INTO Langues VALUES (120, 'AIDE', 1, 'Sommaire', 'Contents', 'Sommario');
INSERT INTO Langues VALUES (121, 'AIDE', 2, 'Précédente', 'Back', 'Indietro');
INSERT INTO Langues VALUES (122, 'AIDE', 3, 'Suivante', 'Forward', 'Avanti');
INSERT INTO Langues VALUES (123, 'AIDE', 4, 'Navigation dans l''aide', 'Help navigation', 'Navigazione nella guida');
INSERT INTO Langues VALUES (124, 'AIDE', 5, 'Aide', 'Help', 'Guida');

-- What a screen reader says for the parts of the window that show no text of their own
INSERT INTO Langues VALUES (125, 'ACCE', 1, 'En-tête de la page', 'Page heading', 'Intestazione della pagina');
INSERT INTO Langues VALUES (126, 'ACCE', 2, 'Texte de la page', 'Page text', 'Testo della pagina');
INSERT INTO Langues VALUES (127, 'ACCE', 3, 'Fermer le volet des notes', 'Close the notes pane', 'Chiudi il riquadro delle note');
INSERT INTO Langues VALUES (128, 'ACCE', 4, 'Séparateur du volet latéral', 'Side pane divider', 'Divisore del riquadro laterale');
INSERT INTO Langues VALUES (129, 'ACCE', 5, 'Séparateur du volet des notes', 'Notes pane divider', 'Divisore del riquadro delle note');
INSERT INTO Langues VALUES (130, 'ACCE', 6, 'Barre d''outils', 'Toolbar', 'Barra degli strumenti');
INSERT INTO Langues VALUES (131, 'ACCE', 7, 'Fenêtre contextuelle', 'Popup', 'Finestra a comparsa');
INSERT INTO Langues VALUES (132, 'ACCE', 8, 'Page de l''aide', 'Help page', 'Pagina della guida');
INSERT INTO Langues VALUES (152, 'ACCE', 9, 'Volet de lecture', 'Reading pane', 'Riquadro di lettura');
INSERT INTO Langues VALUES (153, 'ACCE', 10, 'Volet latéral et lecture', 'Side pane and reading', 'Riquadro laterale e lettura');
INSERT INTO Langues VALUES (154, 'ACCE', 11, 'Texte et notes', 'Text and notes', 'Testo e note');
INSERT INTO Langues VALUES (155, 'ACCE', 12, 'Poignée de redimensionnement', 'Size grip', 'Maniglia di ridimensionamento');

-- Status bar: where the link under the pointer leads, the matches of the page shown, the place to resume
INSERT INTO Langues VALUES (133, 'STAT', 1, 'Lien vers : %1', 'Link to: %1', 'Collegamento a: %1');
INSERT INTO Langues VALUES (134, 'STAT', 2, '1 occurrence dans cette page', '1 match on this page', '1 occorrenza in questa pagina');
INSERT INTO Langues VALUES (135, 'STAT', 3, '%1 occurrences dans cette page', '%1 matches on this page', '%1 occorrenze in questa pagina');
INSERT INTO Langues VALUES (136, 'STAT', 4, 'Pour reprendre la lecture à « %1 » : %2', 'To resume reading at “%1”: %2', 'Per riprendere la lettura da «%1»: %2');
INSERT INTO Langues VALUES (137, 'STAT', 5, 'Note %1', 'Note %1', 'Nota %1');
INSERT INTO Langues VALUES (142, 'STAT', 6, 'La suite de cette page n''est pas affichée : elle dépasse ce que le lecteur peut mettre en page.', 'The rest of this page is not shown: it is more than the reader can lay out.', 'Il resto di questa pagina non è mostrato: supera ciò che il lettore può impaginare.');

-- Why a query was refused, after BMSG 1 in its message
INSERT INTO Langues VALUES (138, 'REQU', 1, 'La requête est mal formée : guillemets ou parenthèses non fermés, opérateur sans mot avant ou après, ou * ailleurs qu''en fin de mot.', 'The query cannot be read: quotes or brackets left open, an operator without a word before or after it, or a * that does not end a word.', 'La richiesta non è leggibile: virgolette o parentesi non chiuse, operatore senza parola prima o dopo, oppure * non alla fine di una parola.');
INSERT INTO Langues VALUES (139, 'REQU', 2, 'La requête est trop longue : 100 mots et 4 000 caractères au plus.', 'The query is too long: at most 100 words and 4,000 characters.', 'La richiesta è troppo lunga: al massimo 100 parole e 4.000 caratteri.');
INSERT INTO Langues VALUES (140, 'REQU', 3, 'La requête imbrique trop de parenthèses ou de NOT : 100 niveaux au plus.', 'The query nests too many brackets or NOTs: at most 100 levels.', 'La richiesta annida troppe parentesi o NOT: al massimo 100 livelli.');
INSERT INTO Langues VALUES (141, 'REQU', 4, 'L''index de l''édition n''a pas pu répondre.', 'The edition''s index could not answer.', 'L''indice dell''edizione non ha potuto rispondere.');

-- Messages of our own beyond BMSG 30. BMSG 34 and 36 take a file or edition name for %1.
INSERT INTO Langues VALUES (143, 'BMSG', 31, 'La table des matières de cette édition est illisible : l''édition s''ouvre sans elle.', 'The table of contents of this edition cannot be read: the edition opens without it.', 'Il sommario di questa edizione non è leggibile: l''edizione si apre senza sommario.');
INSERT INTO Langues VALUES (144, 'BMSG', 32, 'La table des matières de cette édition est trop grande pour être affichée en entier : une partie n''en est pas montrée.', 'The table of contents of this edition is too large to be shown whole: part of it is left out.', 'Il sommario di questa edizione è troppo grande per essere mostrato per intero: una parte non è mostrata.');
INSERT INTO Langues VALUES (145, 'BMSG', 33, 'Fichiers de signets (*.bkm)|*.bkm', 'Bookmark files (*.bkm)|*.bkm', 'File di segnalibri (*.bkm)|*.bkm');
INSERT INTO Langues VALUES (146, 'BMSG', 34, '%1 est introuvable, ou n''est pas la base de données de cette édition.', '%1 cannot be found, or is not the database of this edition.', '%1 non si trova, oppure non è il database di questa edizione.');
INSERT INTO Langues VALUES (147, 'BMSG', 35, 'Ce fichier n''est pas une édition que Folium sait ouvrir, ou il est endommagé :', 'This file is not an edition Folium can open, or it is damaged:', 'Questo file non è un''edizione che Folium sa aprire, oppure è danneggiato:');
INSERT INTO Langues VALUES (148, 'BMSG', 36, 'Des signets de « %1 » n''avaient pas été enregistrés quand Folium s''est arrêté. Voulez-vous les retrouver ?', 'Bookmarks of “%1” had not been saved when Folium last stopped. Do you want them back?', 'Alcuni segnalibri di «%1» non erano stati salvati quando Folium si è chiuso. Recuperarli?');
INSERT INTO Langues VALUES (149, 'BMSG', 37, 'Le fichier %1 n''a pas pu être supprimé : il reste tel quel.', 'The file %1 could not be deleted: it stays as it was.', 'Non è stato possibile eliminare il file %1: resta com''era.');
INSERT INTO Langues VALUES (151, 'BMSG', 38, 'Les options n''ont pas pu être enregistrées (disque plein, dossier protégé en écriture ou erreur du disque) : rien n''a été changé.', 'The options could not be saved (a full disk, a read-only folder or a disk error): nothing was changed.', 'Non è stato possibile salvare le opzioni (disco pieno, cartella protetta in scrittura o errore del disco): non è stato cambiato nulla.');
INSERT INTO Langues VALUES (156, 'BMSG', 39, 'Le fichier des réglages %1 ne peut pas être modifié : Folium garde désormais vos réglages dans %2.', 'The settings file %1 cannot be written: Folium now keeps your settings in %2.', 'Il file delle impostazioni %1 non è modificabile: Folium conserva ora le impostazioni in %2.');

-- Status bar: the match shown when stepping through the matches of a page
INSERT INTO Langues VALUES (150, 'STAT', 7, 'Occurrence %1 / %2', 'Match %1 / %2', 'Occorrenza %1 / %2');

-- Importing a TEI edition from the File menu. IMPT 5 takes the edition's folder name, 6 the letters done and found,
-- 7 the time left (IMPT 17 or 18), 10 the number of letters left out, 18 a number of minutes.
INSERT INTO Langues VALUES (157, 'MENU', 51, '&Importer une édition TEI...', '&Import a TEI edition...', '&Importa un''edizione TEI...');
INSERT INTO Langues VALUES (158, 'MENU', 52, 'Importer à &nouveau', 'Import &again', 'Importa di &nuovo');
INSERT INTO Langues VALUES (159, 'IMPT', 1, 'Importer une édition TEI', 'Import a TEI edition', 'Importa un''edizione TEI');
INSERT INTO Langues VALUES (160, 'IMPT', 2, '&Dossier de l''édition :', 'Edition &folder:', '&Cartella dell''edizione:');
INSERT INTO Langues VALUES (161, 'IMPT', 3, 'Fichier de &correspondance (facultatif) :', '&Mapping file (optional):', 'File di &mappatura (facoltativo):');
INSERT INTO Langues VALUES (162, 'IMPT', 4, '&Parcourir...', '&Browse...', '&Sfoglia...');
INSERT INTO Langues VALUES (163, 'IMPT', 5, 'Importation de %1', 'Importing %1', 'Importazione di %1');
INSERT INTO Langues VALUES (164, 'IMPT', 6, 'Lettre %1 sur %2', 'Letter %1 of %2', 'Lettera %1 di %2');
INSERT INTO Langues VALUES (165, 'IMPT', 7, 'encore %1', '%1 left', 'ancora %1');
INSERT INTO Langues VALUES (166, 'IMPT', 8, 'Construction de l''édition...', 'Building the edition...', 'Costruzione dell''edizione...');
INSERT INTO Langues VALUES (167, 'IMPT', 9, 'Pa&rcourir...', 'Brow&se...', 'Sfogl&ia...');
INSERT INTO Langues VALUES (168, 'IMPT', 10, '%1 lettre(s) laissée(s) de côté : la liste des problèmes dit pourquoi.', '%1 letter(s) left out: the list of problems says why.', '%1 lettera/e tralasciata/e: l''elenco dei problemi dice perché.');
INSERT INTO Langues VALUES (169, 'IMPT', 11, 'L''importation n''a pas abouti : rien n''a été changé.', 'The import did not succeed: nothing was changed.', 'L''importazione non è riuscita: non è stato cambiato nulla.');
INSERT INTO Langues VALUES (170, 'IMPT', 12, 'Problèmes de l''importation', 'Problems of the import', 'Problemi dell''importazione');
INSERT INTO Langues VALUES (171, 'IMPT', 13, '&Copier', '&Copy', '&Copia');
INSERT INTO Langues VALUES (172, 'IMPT', 14, 'Le dossier de cette édition a changé depuis son importation : Fichier > Importer à nouveau.', 'The folder of this edition has changed since it was imported: File > Import again.', 'La cartella di questa edizione è cambiata dall''importazione: File > Importa di nuovo.');
INSERT INTO Langues VALUES (173, 'IMPT', 15, 'Ce dossier ne contient aucune lettre TEI.', 'This folder holds no TEI letter.', 'Questa cartella non contiene alcuna lettera TEI.');
INSERT INTO Langues VALUES (174, 'IMPT', 16, 'Fichiers de correspondance (*.xml)|*.xml', 'Mapping files (*.xml)|*.xml', 'File di mappatura (*.xml)|*.xml');
INSERT INTO Langues VALUES (175, 'IMPT', 17, 'moins d''une minute', 'less than a minute', 'meno di un minuto');
INSERT INTO Langues VALUES (176, 'IMPT', 18, '%1 minutes', '%1 minutes', '%1 minuti');
INSERT INTO Langues VALUES (177, 'IMPT', 19, 'Fermer', 'Close', 'Chiudi');
