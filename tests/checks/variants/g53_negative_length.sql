-- A negative length is an error of its own that names the column.
-- expect: G53
-- level: 2
-- text: G53 Bei den GEO-Daten ist beim Element ...... : G9
-- text:     der Wert in Spalte GEO_L negativ =   -20.000 m!
UPDATE tbl_rvldaten SET GEO_L = -20 WHERE bez = 'G9';
