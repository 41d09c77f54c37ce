-- A circular bottom whose first height exceeds half its width.
-- expect: G17
-- level: 2
UPDATE tbl_rvldaten SET GEO_oT1 = 'K', GEO_uT1 = 'K' WHERE bez = 'G9';
