-- A fixed split of 60 % and 39.8 %.
-- expect: S16
-- level: 2
UPDATE tbl_rvldaten SET aufteilung1 = 60, aufteilung2 = 39.8 WHERE bez = 'A1';
