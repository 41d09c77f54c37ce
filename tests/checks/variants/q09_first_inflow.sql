-- The plant inlet takes water out.
-- expect: Q09
-- level: 2
-- screen: Fehler: allgemeine Angaben
UPDATE tbl_rvldaten SET Q = -10 WHERE bez = 'Q1';
UPDATE tbl_rvldaten SET Q = 20 WHERE bez = 'Q2';
