-- A fixed split of 60 % and 39.95 % is accepted.
-- expect: 
-- level: 0
-- absent: S16
UPDATE tbl_rvldaten SET aufteilung1 = 60, aufteilung2 = 39.95 WHERE bez = 'A1';
