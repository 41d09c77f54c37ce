-- Strickler value 19.85.
-- expect: G11
-- level: 2
-- screen: Fehler: geometrische Angaben
-- text: G11 Bei den GEO-Daten muss beim Element ..... : 
-- text:    der Stricklerwert in (20, 100) liegen!
UPDATE tbl_rvldaten SET GEO_K = 19.85 WHERE bez = 'G9';
